#include "app/RenderView.h"

#include "core/FileIO.h"
#include "core/Log.h"

#include <win32/paths.h>

#include <cstring>

RenderView* g_pRenderView = nullptr;

IMPLEMENT_DYNCREATE(RenderView, CView)

BEGIN_MESSAGE_MAP(RenderView, CView)
    ON_WM_CREATE()
END_MESSAGE_MAP()

namespace
{
const char SETTINGS_FILE[] = "settings.dat";
const char SKIN_DIRECTORY[] = "C:\\Quenlaris\\skins\\default\\";
const size_t PLACEMENT_SIZE = 44;
const size_t ZOOMED_OFFSET = 28;
const size_t VIEW_PLACEMENT_OFFSET = 32;
const size_t SKIN_ENABLED_OFFSET = 384;
const size_t SKIN_DIRECTORY_OFFSET = 388;
const size_t SKIN_DIRECTORY_SIZE = 260;

void PutInt32(uint8_t* p, int32_t nValue)
{
    uint32_t u = static_cast<uint32_t>(nValue);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}
}

RenderView::RenderView() = default;

RenderView::~RenderView()
{
    if (g_pRenderView == this)
        g_pRenderView = nullptr;
}

int RenderView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndRender.Create(this))
    {
        LogError("RenderView::OnCreate() - the render surface window could not be created.");
        return -1;
    }
    return 0;
}

void RenderView::OnDraw(CDC*)
{
}

bool RenderView::BuildTree(ApplicationBase* pApp)
{
    if (!pApp)
    {
        LogError("RenderView::BuildTree() - Failed to build the tree. The RenderApp is NULL.");
        return false;
    }
    return true;
}

void RenderView::BuildSettingsFile(uint8_t (&file)[VIEW_SETTINGS_FILE_SIZE]) const
{
    std::memset(file, 0, sizeof(file));
    uint8_t* pRecord = file + 4;
    PutInt32(file, 1);
    PutInt32(pRecord, 1);
    PutInt32(pRecord + 24, 1);
    PutInt32(pRecord + ZOOMED_OFFSET, m_hWnd && IsZoomed() ? 1 : 0);
    WINDOWPLACEMENT placement{};
    placement.length = PLACEMENT_SIZE;
    if (m_hWnd)
        GetWindowPlacement(&placement);
    static_assert(sizeof(WINDOWPLACEMENT) == PLACEMENT_SIZE, "the file keeps the 44-byte placement");
    int32_t fields[PLACEMENT_SIZE / 4];
    std::memcpy(fields, &placement, PLACEMENT_SIZE);
    for (size_t i = 0; i < PLACEMENT_SIZE / 4; ++i)
        PutInt32(pRecord + VIEW_PLACEMENT_OFFSET + 4 * i, fields[i]);
    PutInt32(pRecord + SKIN_ENABLED_OFFSET, 1);
    static_assert(sizeof(SKIN_DIRECTORY) <= SKIN_DIRECTORY_SIZE, "the skin directory fits its field");
    std::memcpy(pRecord + SKIN_DIRECTORY_OFFSET, SKIN_DIRECTORY, sizeof(SKIN_DIRECTORY));
}

bool RenderView::SaveSettings()
{
    uint8_t file[VIEW_SETTINGS_FILE_SIZE];
    BuildSettingsFile(file);
    if (!WriteFileAtomic(SETTINGS_FILE, file, sizeof(file)))
    {
        LogWarning("CMorvynForm::SaveSettings() - Could not open the file for writing. (%s)",
                   win32::MapPath(SETTINGS_FILE, true).c_str());
        return false;
    }
    return true;
}
