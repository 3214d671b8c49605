// GDI objects: solid brushes and fonts, kept with what they were made from
// so that tests can look at them, and counted until they are deleted.
#include "standin/win32/state.h"

namespace standin::win32 {

namespace {

uintptr_t AddGdiObject(const GdiObject& object)
{
    Desktop& desktop = TheDesktop();
    uintptr_t handle = desktop.nextGdiHandle;
    desktop.nextGdiHandle += 4;
    desktop.gdiObjects[handle] = object;
    return handle;
}

}  // namespace

bool DeleteGdiObject(uintptr_t handle) { return TheDesktop().gdiObjects.erase(handle) == 1; }

}  // namespace standin::win32

using namespace standin::win32;

HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    GdiObject brush;
    brush.kind = GdiObject::Kind::Brush;
    brush.color = color;
    return reinterpret_cast<HBRUSH>(AddGdiObject(brush));
}

HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                         DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR faceName)
{
    GdiObject font;
    font.kind = GdiObject::Kind::Font;
    font.font = {
        height,    width,   escapement,   orientation,   weight,  italic,         underline,
        strikeOut, charSet, outPrecision, clipPrecision, quality, pitchAndFamily, faceName ? faceName : ""};
    return reinterpret_cast<HFONT>(AddGdiObject(font));
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    return DeleteGdiObject(reinterpret_cast<uintptr_t>(object)) ? TRUE : FALSE;
}
