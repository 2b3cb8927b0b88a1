#include "morvyn/morvyn.h"

#include "core/Log.h"

#include <d3dx9math.h>
#include <win32/paths.h>
#include <win32/winbase.h>

#include <cstring>
#include <filesystem>

Matrix4 g_matView;
Matrix4 g_matProjection;

namespace
{
IDirect3DDevice9* g_pMorvynDevice = nullptr;
IDirect3D9* g_pMorvynD3D = nullptr;

float g_fCoreValue1 = 0.0f;
float g_fCoreValue2 = 0.0f;
float g_fCoreValue3 = 0.0f;
float g_fCoreScale = 0.0f;
int32_t g_nCoreMode = 3;

// The demo kept its models in a fixed folder.
const char MODEL_FOLDER[] = "c:\\MorvynDemo\\Models\\";
}

bool SetMorvynDevice(IDirect3DDevice9* pDevice)
{
    g_pMorvynDevice = pDevice;
    return true;
}

IDirect3DDevice9* GetMorvynDevice()
{
    if (!g_pMorvynDevice)
        LogError("------>ZUZUDIVEZE device not set");
    return g_pMorvynDevice;
}

int InitMorvynDevice(IDirect3DDevice9* pDevice, IDirect3D9* pD3D)
{
    g_pMorvynDevice = pDevice;
    g_pMorvynD3D = pD3D;
    D3DCAPS9 caps;
    if (!pDevice || FAILED(pDevice->GetDeviceCaps(&caps)))
        LogWarning("retrieving video card information failed");
    return 0;
}

IDirect3D9* GetMorvynD3D()
{
    return g_pMorvynD3D;
}

uint32_t GetTextureMemoryMB()
{
    IDirect3DDevice9* pDevice = GetMorvynDevice();
    return pDevice ? pDevice->GetAvailableTextureMem() >> 20 : 0;
}

bool BeginMorvynScene()
{
    IDirect3DDevice9* pDevice = GetMorvynDevice();
    if (!pDevice)
        return false;
    pDevice->SetTransform(D3DTS_VIEW, reinterpret_cast<const D3DMATRIX*>(g_matView.e));
    // Depth 1.0 is the far plane: anything drawn afterwards passes a LESSEQUAL test.
    pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    return SUCCEEDED(pDevice->BeginScene());
}

void EndMorvynScene()
{
    if (IDirect3DDevice9* pDevice = GetMorvynDevice())
        pDevice->EndScene();
}

bool SetCoreViewMatrix(const Matrix4& m)
{
    g_matView = m;
    return true;
}

bool SetCoreProjectionMatrix(const Matrix4& m)
{
    g_matProjection = m;
    return true;
}

void SetCoreValue1(float fValue) { g_fCoreValue1 = fValue; }
void SetCoreValue2(float fValue) { g_fCoreValue2 = fValue; }
void SetCoreValue3(float fValue) { g_fCoreValue3 = fValue; }
float GetCoreValue1() { return g_fCoreValue1; }
float GetCoreValue2() { return g_fCoreValue2; }
float GetCoreValue3() { return g_fCoreValue3; }

bool SetCoreScale(float fScale)
{
    g_fCoreScale = fScale;
    return true;
}

float GetCoreScale() { return g_fCoreScale; }
float GetScaledCoreValue1() { return g_fCoreValue1 * g_fCoreScale; }

void CycleCoreMode()
{
    g_nCoreMode = g_nCoreMode == 1 ? 2 : g_nCoreMode == 2 ? 3 : 1;
}

int32_t GetCoreMode() { return g_nCoreMode; }
bool IsCoreMode3() { return g_nCoreMode == 3; }
int32_t SelectByCoreMode(int32_t v) { return g_nCoreMode == 3 ? v : 1; }

bool IsReadableFile(const char* szName)
{
    if (!szName || !*szName)
        return false;
    std::string path = win32::MapPath(szName, false);
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec))
        return false;
    HANDLE hFile = CreateFileA(szName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(hFile);
    return true;
}

HRESULT FindMediaFileCch(char* szPath, int nSize, const char* szName)
{
    if (!szPath || !szName || nSize < 1)
        return E_INVALIDARG;
    // A name that does not fit would leave only the folder to search, and a folder is no model.
    size_t nPrefix = sizeof(MODEL_FOLDER) - 1;
    size_t nName = std::strlen(szName);
    if (nPrefix + nName >= static_cast<size_t>(nSize))
    {
        szPath[0] = 0;
        return E_INVALIDARG;
    }
    std::string name = std::string(MODEL_FOLDER) + szName;
    DWORD nFull = GetFullPathNameA(name.c_str(), static_cast<DWORD>(nSize), szPath, nullptr);
    if (nFull == 0 || nFull >= static_cast<DWORD>(nSize))
        std::memcpy(szPath, name.c_str(), name.size() + 1);
    // The demo's own log lines end in "/n", not a line break.
    if (IsReadableFile(szPath))
    {
        LogWarning("->>>>>>>>>>>>>>>>>>>>....ok model %s loaded/n", szPath);
        return S_OK;
    }
    LogWarning("->>>>>>>>>>>>>>>>>>>>....fail load model %s/n", szPath);
    return E_FAIL;
}

void ComputeFrustumFromMatrices(FrustumCorners* pOut, const Matrix4* pView, const Matrix4* pProjection)
{
    D3DXMATRIX view(pView->e), projection(pProjection->e), viewProjection, inverse;
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    D3DXMatrixInverse(&inverse, nullptr, &viewProjection);

    D3DXVECTOR3 corners[8];
    for (int i = 0; i < 8; ++i)
    {
        D3DXVECTOR3 clip((i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : 0.0f);
        D3DXVec3TransformCoord(&corners[i], &clip, &inverse);
        pOut->vCorners[i] = Vector3(corners[i].x, corners[i].y, corners[i].z);
    }
    // Near, far, left, right, top, bottom, each through three corners in this order.
    static const int PLANE_CORNERS[6][3] = {{0, 1, 2}, {6, 7, 5}, {2, 6, 4}, {7, 3, 5}, {2, 3, 6}, {1, 0, 4}};
    for (int i = 0; i < 6; ++i)
    {
        D3DXPLANE plane;
        D3DXPlaneFromPoints(&plane, &corners[PLANE_CORNERS[i][0]], &corners[PLANE_CORNERS[i][1]],
                            &corners[PLANE_CORNERS[i][2]]);
        pOut->planes[i] = {plane.a, plane.b, plane.c, plane.d};
    }
}
