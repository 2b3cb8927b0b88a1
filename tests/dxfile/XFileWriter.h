#pragma once
// Writes ".x" files for the tests in either form from the same calls: the text form with the
// usual separators, or the binary form with its tokens (values as one-element or whole lists).
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

class XFileWriter
{
public:
    explicit XFileWriter(bool bBinary, bool bDoubles = false) : m_bBinary(bBinary), m_bDoubles(bDoubles)
    {
        Raw(std::string("xof 0302") + (bBinary ? "bin " : "txt ") + (bDoubles ? "0064" : "0032"));
        if (!bBinary)
            Raw("\n");
    }

    XFileWriter& Begin(const std::string& type, const std::string& name = "")
    {
        if (m_bBinary)
        {
            Name(type);
            if (!name.empty())
                Name(name);
            Token(10);
        }
        else
            Raw(type + (name.empty() ? "" : " " + name) + " {\n");
        return *this;
    }
    XFileWriter& End()
    {
        if (m_bBinary)
            Token(11);
        else
            Raw("}\n");
        return *this;
    }
    XFileWriter& Dwords(std::initializer_list<uint32_t> values) { return DwordList(std::vector<uint32_t>(values)); }
    XFileWriter& DwordList(const std::vector<uint32_t>& values)
    {
        if (m_bBinary)
        {
            Token(6);
            Dword32((uint32_t)values.size());
            for (uint32_t v : values)
                Dword32(v);
        }
        else
            for (uint32_t v : values)
                Raw(std::to_string(v) + ";");
        return *this;
    }
    XFileWriter& Floats(std::initializer_list<float> values)
    {
        if (m_bBinary)
        {
            Token(7);
            Dword32((uint32_t)values.size());
            for (float v : values)
            {
                if (m_bDoubles)
                {
                    double d = v;
                    Append(&d, 8);
                }
                else
                    Append(&v, 4);
            }
        }
        else
            for (float v : values)
            {
                char text[64];
                std::snprintf(text, sizeof(text), "%.9g;", v);
                Raw(text);
            }
        return *this;
    }
    XFileWriter& String(const std::string& text)
    {
        if (m_bBinary)
        {
            Token(2);
            Dword32((uint32_t)text.size());
            Raw(text);
            Token(20);
        }
        else
            Raw("\"" + text + "\";");
        return *this;
    }
    // A reference to an earlier named object.
    XFileWriter& Reference(const std::string& name)
    {
        if (m_bBinary)
        {
            Token(10);
            Name(name);
            Token(11);
        }
        else
            Raw("{ " + name + " }\n");
        return *this;
    }
    // Text appended as it stands (declarations in the text form, hostile fragments).
    XFileWriter& Raw(const std::string& text)
    {
        Append(text.data(), text.size());
        return *this;
    }
    XFileWriter& Token(uint16_t nCode)
    {
        Append(&nCode, 2);
        return *this;
    }
    XFileWriter& Dword32(uint32_t v)
    {
        Append(&v, 4);
        return *this;
    }
    XFileWriter& Name(const std::string& name)
    {
        Token(1);
        Dword32((uint32_t)name.size());
        return Raw(name);
    }

    const std::vector<uint8_t>& Bytes() const { return m_bytes; }
    bool Binary() const { return m_bBinary; }

private:
    void Append(const void* p, size_t n)
    {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        m_bytes.insert(m_bytes.end(), b, b + n);
    }

    bool m_bBinary;
    bool m_bDoubles;
    std::vector<uint8_t> m_bytes;
};

// A mesh of one quad in the plane z = 0 from (x0, y0) to (x1, y1), wound clockwise seen from
// -z (Direct3D's front face for a camera looking down +z), with normals (0, 0, -1), texture
// coordinates over the unit square and one material of the given colour and texture.
inline void WriteQuadMesh(XFileWriter& w, const std::string& name, float x0, float y0, float x1, float y1, float r,
                          float g, float b, float a, const std::string& texture)
{
    w.Begin("Mesh", name);
    w.Dwords({4});
    w.Floats({x0, y0, 0}).Floats({x0, y1, 0}).Floats({x1, y1, 0}).Floats({x1, y0, 0});
    w.Dwords({1}).Dwords({4, 0, 1, 2, 3});
    w.Begin("MeshNormals").Dwords({1}).Floats({0, 0, -1}).Dwords({1}).Dwords({4, 0, 0, 0, 0}).End();
    w.Begin("MeshTextureCoords").Dwords({4}).Floats({0, 1}).Floats({0, 0}).Floats({1, 0}).Floats({1, 1}).End();
    w.Begin("MeshMaterialList").Dwords({1, 1, 0});
    w.Begin("Material").Floats({r, g, b, a}).Floats({8}).Floats({0, 0, 0}).Floats({0, 0, 0});
    if (!texture.empty())
        w.Begin("TextureFilename").String(texture).End();
    w.End().End().End();
}

// The textured two-frame model: frame "Body" (moved by x + 0.5) holds the red quad "BodyMesh"
// and frame "Wing" (moved by y + 0.25 relative to Body) the green, half-transparent quad
// "WingMesh".
inline void WriteTwoFrameModel(XFileWriter& w)
{
    w.Begin("Header").Dwords({1, 0, 1}).End();
    w.Begin("Frame", "Body");
    w.Begin("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0.5f, 0, 0, 1}).End();
    WriteQuadMesh(w, "BodyMesh", -1, -1, 0, 0, 1, 0, 0, 1, "body.png");
    w.Begin("Frame", "Wing");
    w.Begin("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0.25f, 0, 1}).End();
    WriteQuadMesh(w, "WingMesh", -0.5f, 0, 0, 0.5f, 0, 1, 0, 0.5f, "wing.png");
    w.End();
    w.End();
}
