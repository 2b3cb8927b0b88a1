// The DirectX file library: the standard templates, both file forms, object trees, data
// layout, references, and the table of hostile files.
#include "XFileWriter.h"

#include <dxfile.h>
#include <rmxfguid.h>
#include <rmxftmpl.h>

#include "core/Log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace
{
struct Released
{
    void operator()(IUnknown* p) const
    {
        if (p)
            p->Release();
    }
};
template <class T>
using Ptr = std::unique_ptr<T, Released>;

class DirectXFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetLogEcho(false);
        IDirectXFile* pFile = nullptr;
        ASSERT_EQ(DirectXFileCreate(&pFile), DXFILE_OK);
        m_pFile.reset(pFile);
        ASSERT_EQ(m_pFile->RegisterTemplates(const_cast<char*>(D3DRM_XTEMPLATES), D3DRM_XTEMPLATE_BYTES), DXFILE_OK);
    }
    void TearDown() override { SetLogEcho(true); }

    // An enumerator over the bytes, or null when the header is refused.
    Ptr<IDirectXFileEnumObject> Open(const std::vector<uint8_t>& bytes, HRESULT* pResult = nullptr)
    {
        DXFILELOADMEMORY memory{const_cast<uint8_t*>(bytes.data()), (DWORD)bytes.size()};
        IDirectXFileEnumObject* pEnum = nullptr;
        HRESULT hr = m_pFile->CreateEnumObject(&memory, DXFILELOAD_FROMMEMORY, &pEnum);
        if (pResult)
            *pResult = hr;
        return Ptr<IDirectXFileEnumObject>(pEnum);
    }

    // Reads every top-level object; the result that ended the enumeration.
    HRESULT ReadAll(const std::vector<uint8_t>& bytes, int* pCount = nullptr)
    {
        HRESULT hr;
        auto pEnum = Open(bytes, &hr);
        if (!pEnum)
            return hr;
        int nCount = 0;
        IDirectXFileData* pData = nullptr;
        while (SUCCEEDED(hr = pEnum->GetNextDataObject(&pData)))
        {
            Walk(pData, 0);
            pData->Release();
            ++nCount;
        }
        if (pCount)
            *pCount = nCount;
        return hr;
    }

    // Touches everything an object offers, to let the sanitizers see every byte handed out.
    void Walk(IDirectXFileData* pData, int nDepth)
    {
        DWORD nSize = 0;
        void* p = nullptr;
        ASSERT_EQ(pData->GetData(nullptr, &nSize, &p), DXFILE_OK);
        std::vector<uint8_t> copy(static_cast<uint8_t*>(p), static_cast<uint8_t*>(p) + nSize);
        DWORD nName = 0;
        ASSERT_EQ(pData->GetName(nullptr, &nName), DXFILE_OK);
        std::string name(nName, '\0');
        ASSERT_EQ(pData->GetName(name.data(), &nName), DXFILE_OK);
        IDirectXFileObject* pChild = nullptr;
        while (SUCCEEDED(pData->GetNextObject(&pChild)))
        {
            IDirectXFileData* pChildData = nullptr;
            if (SUCCEEDED(pChild->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&pChildData))))
            {
                Walk(pChildData, nDepth + 1);
                pChildData->Release();
            }
            pChild->Release();
        }
    }

    static std::string NameOf(IDirectXFileObject* pObject)
    {
        char name[64] = {};
        DWORD nSize = sizeof(name);
        EXPECT_EQ(pObject->GetName(name, &nSize), DXFILE_OK);
        return name;
    }
    static GUID TypeOf(IDirectXFileData* pData)
    {
        const GUID* pType = nullptr;
        EXPECT_EQ(pData->GetType(&pType), DXFILE_OK);
        return pType ? *pType : GUID{};
    }
    static Ptr<IDirectXFileData> NextChildData(IDirectXFileData* pParent)
    {
        IDirectXFileObject* pChild = nullptr;
        if (FAILED(pParent->GetNextObject(&pChild)))
            return nullptr;
        IDirectXFileData* pData = nullptr;
        pChild->QueryInterface(IID_IDirectXFileData, reinterpret_cast<void**>(&pData));
        pChild->Release();
        return Ptr<IDirectXFileData>(pData);
    }

    Ptr<IDirectXFile> m_pFile;
};

struct FileForm
{
    bool bBinary;
    bool bDoubles;
};

class DirectXFileFormTest : public DirectXFileTest, public ::testing::WithParamInterface<FileForm>
{
};

TEST_P(DirectXFileFormTest, TwoFrameModelReadsAsATreeWithItsData)
{
    XFileWriter w(GetParam().bBinary, GetParam().bDoubles);
    WriteTwoFrameModel(w);
    auto pEnum = Open(w.Bytes());
    ASSERT_TRUE(pEnum);

    IDirectXFileData* pRaw = nullptr;
    ASSERT_EQ(pEnum->GetNextDataObject(&pRaw), DXFILE_OK);
    Ptr<IDirectXFileData> pHeader(pRaw);
    EXPECT_EQ(TypeOf(pHeader.get()), TID_DXFILEHeader);
    DWORD nSize = 0;
    void* pData = nullptr;
    ASSERT_EQ(pHeader->GetData(nullptr, &nSize, &pData), DXFILE_OK);
    ASSERT_EQ(nSize, 8u);   // WORD, WORD, DWORD
    uint16_t major, minor;
    std::memcpy(&major, pData, 2);
    std::memcpy(&minor, static_cast<uint8_t*>(pData) + 2, 2);
    EXPECT_EQ(major, 1);
    EXPECT_EQ(minor, 0);

    ASSERT_EQ(pEnum->GetNextDataObject(&pRaw), DXFILE_OK);
    Ptr<IDirectXFileData> pBody(pRaw);
    EXPECT_EQ(TypeOf(pBody.get()), TID_D3DRMFrame);
    EXPECT_EQ(NameOf(pBody.get()), "Body");

    auto pMatrix = NextChildData(pBody.get());
    ASSERT_TRUE(pMatrix);
    EXPECT_EQ(TypeOf(pMatrix.get()), TID_D3DRMFrameTransformMatrix);
    ASSERT_EQ(pMatrix->GetData(nullptr, &nSize, &pData), DXFILE_OK);
    ASSERT_EQ(nSize, 64u);
    float m[16];
    std::memcpy(m, pData, 64);
    EXPECT_FLOAT_EQ(m[0], 1.0f);
    EXPECT_FLOAT_EQ(m[12], 0.5f);
    EXPECT_FLOAT_EQ(m[15], 1.0f);

    auto pMesh = NextChildData(pBody.get());
    ASSERT_TRUE(pMesh);
    EXPECT_EQ(TypeOf(pMesh.get()), TID_D3DRMMesh);
    EXPECT_EQ(NameOf(pMesh.get()), "BodyMesh");
    // Members by name: the count, then the vertices (three floats each).
    ASSERT_EQ(pMesh->GetData("nVertices", &nSize, &pData), DXFILE_OK);
    ASSERT_EQ(nSize, 4u);
    EXPECT_EQ(*static_cast<uint32_t*>(pData), 4u);
    ASSERT_EQ(pMesh->GetData("vertices", &nSize, &pData), DXFILE_OK);
    ASSERT_EQ(nSize, 48u);
    float v[12];
    std::memcpy(v, pData, 48);
    EXPECT_FLOAT_EQ(v[3], -1.0f);   // second vertex (x0, y1, 0)
    EXPECT_FLOAT_EQ(v[4], 0.0f);
    // Faces: one MeshFace of 4 indices, 4 + 4 x 4 bytes after the count.
    ASSERT_EQ(pMesh->GetData("faces", &nSize, &pData), DXFILE_OK);
    EXPECT_EQ(nSize, 20u);
    EXPECT_EQ(pMesh->GetData("nothing", &nSize, &pData), DXFILEERR_NOTFOUND);

    // The mesh's children: normals, coordinates, material list with a material and its texture.
    EXPECT_EQ(TypeOf(NextChildData(pMesh.get()).get()), TID_D3DRMMeshNormals);
    EXPECT_EQ(TypeOf(NextChildData(pMesh.get()).get()), TID_D3DRMMeshTextureCoords);
    auto pList = NextChildData(pMesh.get());
    ASSERT_TRUE(pList);
    EXPECT_EQ(TypeOf(pList.get()), TID_D3DRMMeshMaterialList);
    auto pMaterial = NextChildData(pList.get());
    ASSERT_TRUE(pMaterial);
    EXPECT_EQ(TypeOf(pMaterial.get()), TID_D3DRMMaterial);
    auto pTexture = NextChildData(pMaterial.get());
    ASSERT_TRUE(pTexture);
    ASSERT_EQ(pTexture->GetData(nullptr, &nSize, &pData), DXFILE_OK);
    ASSERT_EQ(nSize, sizeof(char*));
    const char* szTexture;
    std::memcpy(&szTexture, pData, sizeof(szTexture));
    EXPECT_STREQ(szTexture, "body.png");
    EXPECT_FALSE(NextChildData(pMesh.get()));

    auto pWing = NextChildData(pBody.get());
    ASSERT_TRUE(pWing);
    EXPECT_EQ(NameOf(pWing.get()), "Wing");
    IDirectXFileObject* pNone = nullptr;
    EXPECT_EQ(pBody->GetNextObject(&pNone), DXFILEERR_NOMOREOBJECTS);
    EXPECT_EQ(pEnum->GetNextDataObject(&pRaw), DXFILEERR_NOMOREOBJECTS);
}

INSTANTIATE_TEST_SUITE_P(Forms, DirectXFileFormTest,
                         ::testing::Values(FileForm{false, false}, FileForm{true, false}, FileForm{true, true}),
                         [](const ::testing::TestParamInfo<FileForm>& info) {
                             return std::string(info.param.bBinary ? "Binary" : "Text") +
                                    (info.param.bDoubles ? "64" : "32");
                         });

TEST_F(DirectXFileTest, NamesNeedTheirTerminatorInTheBuffer)
{
    XFileWriter w(false);
    w.Begin("Frame", "Abc").End();
    auto pEnum = Open(w.Bytes());
    IDirectXFileData* pRaw = nullptr;
    ASSERT_EQ(pEnum->GetNextDataObject(&pRaw), DXFILE_OK);
    Ptr<IDirectXFileData> pFrame(pRaw);
    char name[4];
    DWORD nSize = 3;
    EXPECT_EQ(pFrame->GetName(name, &nSize), DXFILEERR_BADVALUE);
    nSize = 4;
    EXPECT_EQ(pFrame->GetName(name, &nSize), DXFILE_OK);
    EXPECT_STREQ(name, "Abc");
    EXPECT_EQ(nSize, 4u);
}

TEST_F(DirectXFileTest, ReferencesResolveToEarlierObjectsAndAreNotDataObjects)
{
    XFileWriter w(false);
    w.Begin("Material", "Red").Floats({1, 0, 0, 1, 5, 0, 0, 0, 0, 0, 0}).End();
    w.Begin("Frame", "F").Reference("Red").Reference("Missing").End();
    auto pEnum = Open(w.Bytes());
    IDirectXFileData* pRaw = nullptr;
    ASSERT_EQ(pEnum->GetNextDataObject(&pRaw), DXFILE_OK);
    pRaw->Release();
    ASSERT_EQ(pEnum->GetNextDataObject(&pRaw), DXFILE_OK);
    Ptr<IDirectXFileData> pFrame(pRaw);

    for (bool bResolves : {true, false})
    {
        IDirectXFileObject* pChild = nullptr;
        ASSERT_EQ(pFrame->GetNextObject(&pChild), DXFILE_OK);
        Ptr<IDirectXFileObject> pHeld(pChild);
        void* pData = nullptr;
        EXPECT_EQ(pChild->QueryInterface(IID_IDirectXFileData, &pData), E_NOINTERFACE);
        IDirectXFileDataReference* pReference = nullptr;
        ASSERT_EQ(pChild->QueryInterface(IID_IDirectXFileDataReference, reinterpret_cast<void**>(&pReference)), S_OK);
        Ptr<IDirectXFileDataReference> pRef(pReference);
        IDirectXFileData* pTarget = nullptr;
        if (bResolves)
        {
            ASSERT_EQ(pReference->Resolve(&pTarget), DXFILE_OK);
            EXPECT_EQ(NameOf(pTarget), "Red");
            pTarget->Release();
        }
        else
            EXPECT_EQ(pReference->Resolve(&pTarget), DXFILEERR_NOTFOUND);
    }
}

TEST_F(DirectXFileTest, TemplatesDeclaredInAFileDescribeItsObjects)
{
    XFileWriter w(false);
    w.Raw("template Pair { <01020304-0506-0708-090A-0B0C0D0E0F10> DWORD n; array WORD values[n]; STRING label; }\n");
    w.Raw("Pair p { 3; 7, 8, 9; \"seven\"; }\n");
    auto pEnum = Open(w.Bytes());
    IDirectXFileData* pRaw = nullptr;
    ASSERT_EQ(pEnum->GetNextDataObject(&pRaw), DXFILE_OK);
    Ptr<IDirectXFileData> pPair(pRaw);
    EXPECT_EQ(TypeOf(pPair.get()), (GUID{0x01020304, 0x0506, 0x0708, {9, 10, 11, 12, 13, 14, 15, 16}}));
    DWORD nSize = 0;
    void* pData = nullptr;
    ASSERT_EQ(pPair->GetData(nullptr, &nSize, &pData), DXFILE_OK);
    ASSERT_EQ(nSize, 4 + 3 * 2 + sizeof(char*));
    uint16_t values[3];
    std::memcpy(values, static_cast<uint8_t*>(pData) + 4, 6);
    EXPECT_EQ(values[0], 7);
    EXPECT_EQ(values[2], 9);
    const char* szLabel;
    std::memcpy(&szLabel, static_cast<uint8_t*>(pData) + 10, sizeof(szLabel));
    EXPECT_STREQ(szLabel, "seven");
}

TEST_F(DirectXFileTest, EveryStandardTemplateIsKnown)
{
    const char* kNames[] = {"Header", "Vector", "Coords2d", "Matrix4x4", "ColorRGBA", "ColorRGB", "IndexedColor",
                            "Boolean", "Boolean2d", "MaterialWrap", "TextureFilename", "Material", "MeshFace",
                            "MeshFaceWraps", "MeshTextureCoords", "MeshMaterialList", "MeshNormals",
                            "MeshVertexColors", "Mesh", "FrameTransformMatrix", "Frame", "FloatKeys",
                            "TimedFloatKeys", "AnimationKey", "AnimationOptions", "Animation", "AnimationSet",
                            "InlineData", "Url", "ProgressiveMesh", "Guid", "StringProperty", "PropertyBag",
                            "ExternalVisual", "RightHanded"};
    std::string text(D3DRM_XTEMPLATES, D3DRM_XTEMPLATE_BYTES);
    for (const char* szName : kNames)
        EXPECT_NE(text.find(std::string("template ") + szName + " {"), std::string::npos) << szName;
}

// A hostile file: what it is made of, and the result that must end its reading.
struct HostileCase
{
    const char* szName;
    std::vector<uint8_t> (*Make)();
    HRESULT hrExpected;
};

std::vector<uint8_t> Text(const std::string& body)
{
    XFileWriter w(false);
    w.Raw(body);
    return w.Bytes();
}

const HostileCase kHostileCases[] = {
    {"VertexCountPastTheData", [] { return Text("Mesh m { 1000000; 1;2;3;; 0;; }"); }, DXFILEERR_BADARRAYSIZE},
    {"ArraySizeFromANegativeValue", [] { return Text("template T { <01020304-0506-0708-090A-0B0C0D0E0F10> SDWORD n; array DWORD v[n]; }\nT t { -5; 1; }"); }, DXFILEERR_BADARRAYSIZE},
    {"HugeConstantArray", [] { return Text("template T { <01020304-0506-0708-090A-0B0C0D0E0F10> array DWORD v[4000000000]; }\nT t { 1; }"); }, DXFILEERR_BADARRAYSIZE},
    {"BinaryListPastTheEnd", [] { XFileWriter w(true); w.Begin("Mesh").Token(6).Dword32(0x40000000).Dword32(1); return w.Bytes(); }, DXFILEERR_PARSEERROR},
    {"BinaryNamePastTheEnd", [] { XFileWriter w(true); w.Token(1).Dword32(0xFFFFFFF0u).Raw("Mesh"); return w.Bytes(); }, DXFILEERR_PARSEERROR},
    {"BinaryStringPastTheEnd", [] { XFileWriter w(true); w.Begin("TextureFilename").Token(2).Dword32(1000).Raw("abc"); return w.Bytes(); }, DXFILEERR_PARSEERROR},
    {"BinaryStringWithoutTerminator", [] { XFileWriter w(true); w.Begin("TextureFilename").Token(2).Dword32(3).Raw("abc").Token(11); return w.Bytes(); }, DXFILEERR_PARSEERROR},
    {"BinaryUnknownToken", [] { XFileWriter w(true); w.Token(99); return w.Bytes(); }, DXFILEERR_PARSEERROR},
    {"UnterminatedString", [] { return Text("TextureFilename t { \"abc; }"); }, DXFILEERR_PARSEERROR},
    {"UnterminatedIdentifier", [] { return Text("Frame f { <3D82AB46-62DA "); }, DXFILEERR_PARSEERROR},
    {"MalformedIdentifier", [] { return Text("Frame f { <3D82AB46-62DA-11CF-AB39-0020AF71E43Z> }"); }, DXFILEERR_PARSEERROR},
    {"UnknownTemplate", [] { return Text("Spaceship s { 1; }"); }, DXFILEERR_NOTEMPLATE},
    {"MemberOfUnknownTemplate", [] { return Text("template T { <01020304-0506-0708-090A-0B0C0D0E0F10> T self; }"); }, DXFILEERR_PARSEERROR},
    {"ArraySizeNamesNoMember", [] { return Text("template T { <01020304-0506-0708-090A-0B0C0D0E0F10> array DWORD v[n]; }"); }, DXFILEERR_PARSEERROR},
    {"ChildInAClosedTemplate", [] { return Text("Vector v { 1; 2; 3; Frame f { } }"); }, DXFILEERR_BADOBJECT},
    {"ObjectNotClosed", [] { return Text("Frame f { Frame g { }"); }, DXFILEERR_PARSEERROR},
    {"FileEndsInsideAnObject", [] { return Text("Vector v { 1; 2;"); }, DXFILEERR_NOMOREDATA},
    {"StringWhereANumberIsDue", [] { return Text("Vector v { 1; \"2\"; 3; }"); }, DXFILEERR_BADVALUE},
    {"FloatWhereAnIntegerIsDue", [] { return Text("Header h { 1.5; 0; 0; }"); }, DXFILEERR_BADVALUE},
    {"DeepNesting", [] { std::string s; for (int i = 0; i < 200; ++i) s += "Frame {"; s += std::string(200, '}'); return Text(s); }, DXFILEERR_PARSEERROR},
    {"ReferenceWithoutAName", [] { return Text("Frame f { { } }"); }, DXFILEERR_BADDATAREFERENCE},
    {"StrayCharacter", [] { return Text("Frame f { @ }"); }, DXFILEERR_PARSEERROR},
};

TEST_F(DirectXFileTest, HostileFilesAreRefusedAtTheObjectTheirFaultIsIn)
{
    for (const HostileCase& c : kHostileCases)
    {
        int nCount = -1;
        EXPECT_EQ(ReadAll(c.Make(), &nCount), c.hrExpected) << c.szName;
        EXPECT_EQ(nCount, 0) << c.szName;
    }
}

TEST_F(DirectXFileTest, ObjectsBeforeAFaultAreHandedOutAndTheFaultStays)
{
    auto bytes = Text("Frame a { }\nFrame b { Spaceship s { } }\nFrame c { }");
    auto pEnum = Open(bytes);
    IDirectXFileData* pRaw = nullptr;
    ASSERT_EQ(pEnum->GetNextDataObject(&pRaw), DXFILE_OK);
    pRaw->Release();
    EXPECT_EQ(pEnum->GetNextDataObject(&pRaw), DXFILEERR_NOTEMPLATE);
    EXPECT_EQ(pEnum->GetNextDataObject(&pRaw), DXFILEERR_NOTEMPLATE);
}

TEST_F(DirectXFileTest, HeadersOtherThanUncompressedTextAndBinaryAreRefused)
{
    struct HeaderCase
    {
        const char* szHeader;
        HRESULT hrExpected;
    };
    const HeaderCase kCases[] = {
        {"xof 0302txt 0032", DXFILE_OK},
        {"xof 0303bin 0064", DXFILE_OK},
        {"xof 0302tzip0032", DXFILEERR_BADFILECOMPRESSIONTYPE},
        {"xof 0302txt 0016", DXFILEERR_BADFILEFLOATSIZE},
        {"xof 0201txt 0032", DXFILEERR_BADFILEVERSION},
        {"xif 0302txt 0032", DXFILEERR_BADFILETYPE},
        {"xof 0302", DXFILEERR_BADFILETYPE},
    };
    for (const HeaderCase& c : kCases)
    {
        std::string text = c.szHeader;
        HRESULT hr;
        auto pEnum = Open(std::vector<uint8_t>(text.begin(), text.end()), &hr);
        EXPECT_EQ(hr, c.hrExpected) << c.szHeader;
        EXPECT_EQ(pEnum != nullptr, c.hrExpected == DXFILE_OK) << c.szHeader;
    }
}

TEST_F(DirectXFileTest, EveryCutOfTheBinaryModelEndsCleanly)
{
    XFileWriter w(true);
    WriteTwoFrameModel(w);
    const std::vector<uint8_t>& whole = w.Bytes();
    int nWhole = 0;
    ASSERT_EQ(ReadAll(whole, &nWhole), DXFILEERR_NOMOREOBJECTS);
    ASSERT_EQ(nWhole, 2);
    XFileWriter header(true);
    header.Begin("Header").Dwords({1, 0, 1}).End();
    const size_t nHeaderEnd = header.Bytes().size();
    for (size_t nCut = 0; nCut < whole.size(); ++nCut)
    {
        int nCount = 0;
        HRESULT hr = ReadAll(std::vector<uint8_t>(whole.begin(), whole.begin() + nCut), &nCount);
        EXPECT_EQ(nCount, nCut >= nHeaderEnd ? 1 : 0) << nCut;
        // Only a cut between top-level objects reads as a complete file.
        if (nCut != 16 && nCut != nHeaderEnd)
        {
            EXPECT_NE(hr, DXFILEERR_NOMOREOBJECTS) << "cut at " << nCut << " passed for complete";
        }
    }
}

TEST_F(DirectXFileTest, RegisteringAnythingButTemplatesRegistersNothing)
{
    std::string block = "xof 0302txt 0032\ntemplate Fresh { <01020304-0506-0708-090A-0B0C0D0E0F10> DWORD n; }\nFrame f { }";
    EXPECT_EQ(m_pFile->RegisterTemplates(block.data(), (DWORD)block.size()), DXFILEERR_PARSEERROR);
    EXPECT_EQ(ReadAll(Text("Fresh x { 1; }")), DXFILEERR_NOTEMPLATE);
}
}
