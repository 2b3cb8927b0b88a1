// Render targets, the depth-stencil surface, the viewport and Clear.
#include "device/Device.h"
#include "device/Surface.h"

#include <algorithm>

namespace
{
HRESULT ReturnSurface(IDirect3DSurface9* pSurface, IDirect3DSurface9** ppOut)
{
    *ppOut = pSurface;
    if (!pSurface)
        return D3DERR_NOTFOUND;
    pSurface->AddRef();
    return D3D_OK;
}

// The part of a rectangle inside another; false if nothing is left.
bool Intersect(const RECT& a, const RECT& b, RECT& result)
{
    result = {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
    return result.left < result.right && result.top < result.bottom;
}
}  // namespace

HRESULT Device::SetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9* pRenderTarget)
{
    CallScope call(m_CallLog, "SetRenderTarget",
                   [&] { return JoinArgs({UintText(RenderTargetIndex), ObjectText(pRenderTarget)}); });
    if (call.Failing() || RenderTargetIndex >= MAX_RENDER_TARGETS || (RenderTargetIndex == 0 && !pRenderTarget))
        return call.Result(D3DERR_INVALIDCALL);
    Surface* pSurface = SurfaceOf(pRenderTarget);
    if (pRenderTarget && (!pSurface || !Owns(pRenderTarget) || !pSurface->IsRenderTarget()))
        return call.Result(D3DERR_INVALIDCALL);
    m_State.renderTargets[RenderTargetIndex].Reset(pRenderTarget);
    // Target 0 sets the viewport to the whole target; targets 1–3 leave it alone.
    if (RenderTargetIndex == 0)
        m_State.viewport = {0, 0, pSurface->GetWidth(), pSurface->GetHeight(), 0.0f, 1.0f};
    return call.Result(D3D_OK);
}

HRESULT Device::GetRenderTarget(DWORD RenderTargetIndex, IDirect3DSurface9** ppRenderTarget)
{
    CallScope call(m_CallLog, "GetRenderTarget", [&] { return UintText(RenderTargetIndex); });
    if (call.Failing() || !ppRenderTarget || RenderTargetIndex >= MAX_RENDER_TARGETS)
        return call.Result(D3DERR_INVALIDCALL);
    call.SetOutput(m_State.renderTargets[RenderTargetIndex].Get());
    return call.Result(ReturnSurface(m_State.renderTargets[RenderTargetIndex].Get(), ppRenderTarget));
}

HRESULT Device::SetDepthStencilSurface(IDirect3DSurface9* pNewZStencil)
{
    CallScope call(m_CallLog, "SetDepthStencilSurface", [&] { return ObjectText(pNewZStencil); });
    Surface* pSurface = SurfaceOf(pNewZStencil);
    if (call.Failing() || (pNewZStencil && (!pSurface || !Owns(pNewZStencil) || !pSurface->IsDepthStencil())))
        return call.Result(D3DERR_INVALIDCALL);
    m_State.pDepthStencil.Reset(pNewZStencil);
    return call.Result(D3D_OK);
}

HRESULT Device::GetDepthStencilSurface(IDirect3DSurface9** ppZStencilSurface)
{
    CallScope call(m_CallLog, "GetDepthStencilSurface", [] { return std::string(); });
    if (call.Failing() || !ppZStencilSurface)
        return call.Result(D3DERR_INVALIDCALL);
    call.SetOutput(m_State.pDepthStencil.Get());
    return call.Result(ReturnSurface(m_State.pDepthStencil.Get(), ppZStencilSurface));
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* pViewport)
{
    CallScope call(m_CallLog, "SetViewport", [&] {
        return pViewport ? JoinArgs({UintText(pViewport->X), UintText(pViewport->Y), UintText(pViewport->Width),
                                     UintText(pViewport->Height), FloatText(pViewport->MinZ),
                                     FloatText(pViewport->MaxZ)})
                         : std::string("NULL");
    });
    if (call.Failing() || !pViewport)
        return call.Result(D3DERR_INVALIDCALL);
    // The viewport must lie inside render target 0 (checked against the current target, as the
    // public runtime does).
    const Surface* pTarget = SurfaceOf(m_State.renderTargets[0]);
    const D3DVIEWPORT9& viewport = *pViewport;
    if (viewport.Width == 0 || viewport.Height == 0 || viewport.X + viewport.Width > pTarget->GetWidth() ||
        viewport.Y + viewport.Height > pTarget->GetHeight() || !(viewport.MinZ >= 0.0f && viewport.MinZ <= 1.0f) ||
        !(viewport.MaxZ >= 0.0f && viewport.MaxZ <= 1.0f))
        return call.Result(D3DERR_INVALIDCALL);
    StateTarget target = Target();
    target.state.viewport = viewport;
    if (target.pMask)
        target.pMask->bViewport = true;
    return call.Result(D3D_OK);
}

HRESULT Device::GetViewport(D3DVIEWPORT9* pViewport)
{
    CallScope call(m_CallLog, "GetViewport", [] { return std::string(); });
    if (call.Failing() || !pViewport)
        return call.Result(D3DERR_INVALIDCALL);
    *pViewport = m_State.viewport;
    return call.Result(D3D_OK);
}

HRESULT Device::Clear(DWORD Count, const D3DRECT* pRects, DWORD Flags, D3DCOLOR Color, float Z, DWORD Stencil)
{
    CallScope call(m_CallLog, "Clear", [&] {
        return JoinArgs({UintText(Count), pRects ? "rects" : "NULL", ClearFlagsText(Flags), HexText(Color),
                         FloatText(Z), UintText(Stencil)});
    });
    const DWORD known = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
    if (call.Failing() || (Flags & ~known) || Flags == 0 || (Count > 0 && !pRects))
        return call.Result(D3DERR_INVALIDCALL);
    Surface* pDepth = SurfaceOf(m_State.pDepthStencil);
    const bool bDepthWork = (Flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0;
    if (bDepthWork && !pDepth)
        return call.Result(D3DERR_INVALIDCALL);
    if ((Flags & D3DCLEAR_STENCIL) && !pDepth->GetFormat().hasStencil)
        return call.Result(D3DERR_INVALIDCALL);
    if ((Flags & D3DCLEAR_ZBUFFER) && !(Z >= 0.0f && Z <= 1.0f))
        return call.Result(D3DERR_INVALIDCALL);

    ClearCommand command;
    command.nFlags = Flags;
    ColorToFloat(Color, command.color);
    command.fDepth = Z;
    command.nStencil = Stencil;
    if (Flags & D3DCLEAR_TARGET)
        for (const auto& target : m_State.renderTargets)
            if (target)
                command.targets.push_back(SurfaceOf(target)->GetStoragePtr());
    if (bDepthWork)
        command.pDepthStencil = pDepth->GetStoragePtr();

    const D3DVIEWPORT9& viewport = m_State.viewport;
    const RECT viewportRect{static_cast<LONG>(viewport.X), static_cast<LONG>(viewport.Y),
                            static_cast<LONG>(viewport.X + viewport.Width),
                            static_cast<LONG>(viewport.Y + viewport.Height)};
    if (Count == 0)
        command.rects.push_back(viewportRect);
    for (DWORD i = 0; i < Count; ++i)
    {
        RECT clipped;
        if (Intersect({pRects[i].x1, pRects[i].y1, pRects[i].x2, pRects[i].y2}, viewportRect, clipped))
            command.rects.push_back(clipped);
    }
    if (!command.rects.empty())
        m_pBackend->Clear(command);
    return call.Result(D3D_OK);
}
