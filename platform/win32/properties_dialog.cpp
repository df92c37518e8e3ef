// The properties dialog on Windows: template 170 of the library's resources run
// by DialogBoxParamA, each message handed to the core's handler through a
// window that speaks to the real controls; and the colour chooser.
#include "platform/platform.h"
#include "platform/properties_dialog.h"
#include "platform/system.h"

#include <commctrl.h>
#include <commdlg.h>

namespace tvn {
namespace plat {

namespace {

class CWin32PropertiesWindow : public CPropertiesWindow {
public:
    explicit CWin32PropertiesWindow(HWND dialog) : m_dialog(dialog) {}

    void setText(int id, const char* text) override { SetDlgItemTextA(m_dialog, id, text); }
    void getText(int id, char* buffer, int size) override {
        if (!buffer || size <= 0) return;
        buffer[0] = 0;
        GetDlgItemTextA(m_dialog, id, buffer, size);
    }
    void setNumber(int id, unsigned value) override { SetDlgItemInt(m_dialog, id, value, FALSE); }
    unsigned getNumber(int id) override {
        BOOL translated = FALSE;
        UINT value = GetDlgItemInt(m_dialog, id, &translated, FALSE);
        return translated ? value : 0;
    }
    void setCheck(int id, int checked, bool posted) override {
        WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
        if (posted)
            PostMessageA(item(id), BM_SETCHECK, state, 0);
        else
            SendMessageA(item(id), BM_SETCHECK, state, 0);
    }
    int isChecked(int id) override { return SendMessageA(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void enable(int id, int enabled) override { EnableWindow(item(id), enabled ? TRUE : FALSE); }
    int isEnabled(int id) override { return IsWindowEnabled(item(id)) ? 1 : 0; }
    void enableDialog(int enabled) override { EnableWindow(m_dialog, enabled ? TRUE : FALSE); }
    void setTrackBar(int id, int low, int high, int page) override {
        SendMessageA(item(id), TBM_SETPAGESIZE, 0, page);
        SendMessageA(item(id), TBM_SETRANGE, TRUE, MAKELPARAM(low, high));
    }
    void setTrackBarPosition(int id, int position) override { SendMessageA(item(id), TBM_SETPOS, TRUE, position); }
    int trackBarPosition(int id) override { return static_cast<int>(SendMessageA(item(id), TBM_GETPOS, 0, 0)); }
    int hasFocus(int id) override { return GetFocus() == item(id); }
    void repaint(int id) override { InvalidateRect(item(id), nullptr, TRUE); }
    void paintSolid(void* drawRequest, TVN_DWORD color) override {
        const DRAWITEMSTRUCT* draw = static_cast<const DRAWITEMSTRUCT*>(drawRequest);
        HBRUSH brush = CreateSolidBrush(color & 0x00FFFFFFu); // a colour reference has no top byte
        if (!brush) return;
        FillRect(draw->hDC, &draw->rcItem, brush);
        DeleteObject(brush);
    }
    void showMessage(const char* text) override { plat::showMessage(text, m_dialog); }
    int chooseColor(TVN_DWORD* color) override { return env().chooseColor(m_dialog, color, s_custColors); }

private:
    HWND item(int id) const { return GetDlgItem(m_dialog, id); }
    HWND m_dialog;
};

// The state object arrives with the initialisation message and lives in the
// dialog's user-data slot for every later one.
INT_PTR CALLBACK propertiesDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CWin32PropertiesWindow window(dialog);
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
        reinterpret_cast<CPropertiesHandler*>(lParam)->onInitDialog(window);
        return TRUE;
    }
    CPropertiesHandler* handler = reinterpret_cast<CPropertiesHandler*>(GetWindowLongPtrA(dialog, GWLP_USERDATA));
    if (!handler) return FALSE;
    switch (message) {
    case WM_COMMAND:
        if (int code = handler->onCommand(window, LOWORD(wParam), HIWORD(wParam))) EndDialog(dialog, code);
        return TRUE;
    case WM_HSCROLL:
        if (lParam) handler->onTrackBar(window, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
        return TRUE;
    case WM_DRAWITEM:
        if (wParam != IDC_PROP_COLOR_SWATCH) return FALSE;
        handler->drawColorSwatch(window, reinterpret_cast<void*>(lParam));
        return TRUE;
    default: return FALSE;
    }
}

} // namespace

int sys::propertiesDialog(HWND owner, CPropertiesHandler& handler) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    // The library's own module; the program itself when the core is linked in
    // statically, whose resources then hold the template.
    HMODULE module = GetModuleHandleA("tivorn");
    if (!module) module = GetModuleHandleA(nullptr);
    INT_PTR code = DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_IMAGE_PROPERTIES), owner, propertiesDlgProc,
                                   reinterpret_cast<LPARAM>(&handler));
    return code > 0 ? static_cast<int>(code) : 0;
}

int sys::chooseColor(HWND owner, TVN_DWORD* color, TVN_DWORD* customColors) {
    CHOOSECOLORA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.rgbResult = *color & 0x00FFFFFFu; // a colour reference has no top byte
    request.lpCustColors = customColors;
    request.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorA(&request)) return 0;
    *color = request.rgbResult & 0x00FFFFFFu;
    return 1;
}

} // namespace plat
} // namespace tvn
