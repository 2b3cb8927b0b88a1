#include "3dapi/D3DUtil.h"

#include <d3dx9tex.h>
#include <win32/user.h>

#include <algorithm>
#include <cmath>
#include <cstring>

void MakeMaterial(D3DMATERIAL9& material, float r, float g, float b, float a)
{
    material = D3DMATERIAL9{};
    material.Diffuse = {r, g, b, a};
    material.Ambient = {r, g, b, a};
}

void MakeLight(D3DLIGHT9& light, D3DLIGHTTYPE nType, float x, float y, float z)
{
    light = D3DLIGHT9{};
    light.Type = nType;
    light.Diffuse.r = 1.0f;
    light.Diffuse.g = 1.0f;
    light.Diffuse.b = 1.0f;
    D3DXVECTOR3 direction(x, y, z);
    D3DXVec3Normalize(&direction, &direction);
    light.Direction = direction;
    light.Position = {x, y, z};
    light.Range = 1000.0f;
}

HRESULT LoadTextureFile(IDirect3DDevice9* pDevice, const char* szFile, IDirect3DTexture9** ppTexture, D3DFORMAT nFormat)
{
    return D3DXCreateTextureFromFileExA(pDevice, szFile, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, nFormat,
                                        D3DPOOL_MANAGED, D3DX_FILTER_LINEAR, D3DX_FILTER_LINEAR, 0, nullptr, nullptr,
                                        ppTexture);
}

D3DXMATRIX GetCubeFaceViewMatrix(DWORD nFace)
{
    struct FaceView
    {
        D3DXVECTOR3 vDirection;
        D3DXVECTOR3 vUp;
    };
    static const FaceView FACES[6] = {
        {{1, 0, 0}, {0, 1, 0}},  {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, -1}},
        {{0, -1, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}},
    };
    D3DXMATRIX view;
    if (nFace >= 6)
        return *D3DXMatrixIdentity(&view);
    const D3DXVECTOR3 eye(0, 0, 0);
    return *D3DXMatrixLookAtLH(&view, &eye, &FACES[nFace].vDirection, &FACES[nFace].vUp);
}

D3DXQUATERNION RotationFromCursor(HWND hWnd, float fRadius)
{
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(hWnd, &cursor);
    RECT client{};
    GetClientRect(hWnd, &client);
    float fWidth = static_cast<float>(client.right - client.left);
    float fHeight = static_cast<float>(client.bottom - client.top);
    float sx = 2.0f * static_cast<float>(cursor.x) / fWidth - 1.0f;
    float sy = 2.0f * static_cast<float>(cursor.y) / fHeight - 1.0f;
    if (sx == 0.0f && sy == 0.0f)
        return D3DXQUATERNION(0, 0, 0, 1);

    // Near the centre the point lies on the sphere, further out on a hyperbolic sheet that
    // meets it at 45 degrees, so the rotation keeps growing smoothly past the sphere's rim.
    float d = std::sqrt(sx * sx + sy * sy);
    float sz = fRadius * 0.7071067811865476f > d ? std::sqrt(fRadius * fRadius - d * d) : fRadius * fRadius / (2.0f * d);
    D3DXVECTOR3 p1(sx, sy, sz), p2(0, 0, fRadius), axis;
    D3DXVec3Cross(&axis, &p1, &p2);
    D3DXVECTOR3 difference = p2 - p1;
    float t = std::clamp(D3DXVec3Length(&difference) / (2.0f * fRadius), -1.0f, 1.0f);
    D3DXQUATERNION rotation;
    D3DXQuaternionRotationAxis(&rotation, &axis, 2.0f * std::asin(t));
    return rotation;
}

const char* D3DFormatName(D3DFORMAT nFormat, bool bWithPrefix)
{
#define FORMAT_NAME(name) {D3DFMT_##name, "D3DFMT_" #name}
    struct FormatName
    {
        D3DFORMAT nFormat;
        const char* szName;
    };
    static const FormatName NAMES[] = {
        FORMAT_NAME(UNKNOWN),       FORMAT_NAME(R8G8B8),        FORMAT_NAME(A8R8G8B8),      FORMAT_NAME(X8R8G8B8),
        FORMAT_NAME(R5G6B5),        FORMAT_NAME(X1R5G5B5),      FORMAT_NAME(A1R5G5B5),      FORMAT_NAME(A4R4G4B4),
        FORMAT_NAME(R3G3B2),        FORMAT_NAME(A8),            FORMAT_NAME(A8R3G3B2),      FORMAT_NAME(X4R4G4B4),
        FORMAT_NAME(A2B10G10R10),   FORMAT_NAME(A8B8G8R8),      FORMAT_NAME(X8B8G8R8),      FORMAT_NAME(G16R16),
        FORMAT_NAME(A2R10G10B10),   FORMAT_NAME(A16B16G16R16),  FORMAT_NAME(A8P8),          FORMAT_NAME(P8),
        FORMAT_NAME(L8),            FORMAT_NAME(A8L8),          FORMAT_NAME(A4L4),          FORMAT_NAME(V8U8),
        FORMAT_NAME(L6V5U5),        FORMAT_NAME(X8L8V8U8),      FORMAT_NAME(Q8W8V8U8),      FORMAT_NAME(V16U16),
        FORMAT_NAME(A2W10V10U10),   FORMAT_NAME(D16_LOCKABLE),  FORMAT_NAME(D32),           FORMAT_NAME(D15S1),
        FORMAT_NAME(D24S8),         FORMAT_NAME(D24X8),         FORMAT_NAME(D24X4S4),       FORMAT_NAME(D16),
        FORMAT_NAME(L16),           FORMAT_NAME(VERTEXDATA),    FORMAT_NAME(INDEX16),       FORMAT_NAME(INDEX32),
        FORMAT_NAME(Q16W16V16U16),  FORMAT_NAME(R16F),          FORMAT_NAME(G16R16F),       FORMAT_NAME(A16B16G16R16F),
        FORMAT_NAME(R32F),          FORMAT_NAME(G32R32F),       FORMAT_NAME(A32B32G32R32F), FORMAT_NAME(CxV8U8),
        FORMAT_NAME(MULTI2_ARGB8),  FORMAT_NAME(DXT1),          FORMAT_NAME(DXT2),          FORMAT_NAME(YUY2),
        FORMAT_NAME(DXT3),          FORMAT_NAME(DXT4),          FORMAT_NAME(DXT5),          FORMAT_NAME(UYVY),
    };
#undef FORMAT_NAME
    static const char PREFIX[] = "D3DFMT_";
    for (const FormatName& entry : NAMES)
    {
        if (entry.nFormat == nFormat)
            return bWithPrefix ? entry.szName : entry.szName + sizeof(PREFIX) - 1;
    }
    return "Unknown format";
}

void OrthonormalizeMatrix(D3DXMATRIX* pOut, const D3DXMATRIX* pIn)
{
    D3DXVECTOR3 a(pIn->_11, pIn->_21, pIn->_31);
    D3DXVECTOR3 b(pIn->_12, pIn->_22, pIn->_32);
    D3DXVECTOR3 c;
    D3DXVec3Normalize(&a, &a);
    D3DXVec3Cross(&c, &a, &b);
    D3DXVec3Normalize(&c, &c);
    D3DXVec3Cross(&b, &c, &a);
    D3DXVec3Normalize(&b, &b);
    D3DXMatrixIdentity(pOut);
    pOut->_11 = a.x; pOut->_21 = a.y; pOut->_31 = a.z;
    pOut->_12 = b.x; pOut->_22 = b.y; pOut->_32 = b.z;
    pOut->_13 = c.x; pOut->_23 = c.y; pOut->_33 = c.z;
}
