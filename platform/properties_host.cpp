// The properties dialog behind the host's proc (tvnSetPropertiesDialogProc): the
// controls of template 170 kept as plain state, changed by the host's calls with
// the notifications the real controls would send. Shared by both platform layers.
#include "platform/host_hooks.h"
#include "platform/platform.h"
#include "platform/properties_dialog.h"
#include "platform/system.h"
#include "tivorn/host.h"

#include <atomic>
#include <cstring>
#include <string>

namespace {

enum ControlKind { ReadOnlyEdit, NumberEdit, PushButton, CheckBox, Radio, TrackBar, OwnerDrawn };

struct ControlSpec {
    int id;
    ControlKind kind;
    int group; // radios that uncheck each other
};

const ControlSpec kControls[] = {
    {IDC_PROP_IMAGE_FILE, ReadOnlyEdit, 0},   {IDC_PROP_WIDTH, NumberEdit, 0},
    {IDC_PROP_HEIGHT, NumberEdit, 0},         {IDC_PROP_KEEP_ASPECT, CheckBox, 0},
    {IDC_PROP_MODE_ORIGINAL, Radio, 1},       {IDC_PROP_MODE_LG, Radio, 1},
    {IDC_PROP_LG_TOP, NumberEdit, 0},         {IDC_PROP_LG_LEFT, NumberEdit, 0},
    {IDC_PROP_LG_RIGHT, NumberEdit, 0},       {IDC_PROP_LG_BOTTOM, NumberEdit, 0},
    {IDC_PROP_MODE_CONST, Radio, 1},          {IDC_PROP_CONST, NumberEdit, 0},
    {IDC_PROP_MODE_ELL, Radio, 1},            {IDC_PROP_ELL_CENTER, NumberEdit, 0},
    {IDC_PROP_ELL_BORDER, NumberEdit, 0},     {IDC_PROP_MODE_MASK, Radio, 1},
    {IDC_PROP_MASK_FILE, ReadOnlyEdit, 0},    {IDC_PROP_MASK_BROWSE, PushButton, 0},
    {IDC_PROP_MODE_CHROMAKEY, Radio, 1},      {IDC_PROP_COLOR, PushButton, 0},
    {IDC_PROP_COLOR_SWATCH, OwnerDrawn, 0},   {IDC_PROP_KEY_SOFT, Radio, 2},
    {IDC_PROP_KEY_HARD, Radio, 2},            {IDC_PROP_KEY_DEVIATION, TrackBar, 0},
    {IDC_PROP_BLUR_ON, CheckBox, 0},          {IDC_PROP_BLUR_SIZE, TrackBar, 0},
    {IDC_PROP_OK, PushButton, 0},             {IDC_PROP_CANCEL, PushButton, 0},
};
const int kControlCount = sizeof kControls / sizeof kControls[0];

struct ControlState {
    std::string text;
    int checked = 0;
    int enabled = 1;
    int low = 0, high = 100, page = 0, position = 0;
};

std::atomic<TVN_PROPERTIES_DIALOG_PROC> g_proc{nullptr};
std::atomic<void*> g_user{nullptr};

bool allDigits(const char* text) {
    for (; *text; ++text)
        if (*text < '0' || *text > '9') return false;
    return true;
}

} // namespace

struct TVN_PROPERTIES_DIALOG : tvn::plat::CPropertiesWindow {
    TVN_PROPERTIES_DIALOG(HWND owner, tvn::plat::CPropertiesHandler& handler) : m_owner(owner), m_handler(handler) {}

    int indexOf(int id) const {
        for (int i = 0; i < kControlCount; ++i)
            if (kControls[i].id == id) return i;
        return -1;
    }
    ControlState* state(int id) {
        int i = indexOf(id);
        return i < 0 ? nullptr : &m_controls[i];
    }
    // Whether the user can act on control id now; kinds: a mask of ControlKind bits.
    bool usable(int id, unsigned kinds) {
        int i = indexOf(id);
        return i >= 0 && !m_endCode && m_dialogEnabled && m_controls[i].enabled &&
               (kinds & (1u << kControls[i].kind));
    }
    void command(int id, int notification) {
        if (int code = m_handler.onCommand(*this, id, notification)) m_endCode = code;
    }

    void setText(int id, const char* text) override {
        ControlState* s = state(id);
        if (!s) return;
        s->text = text ? text : "";
        command(id, tvn::plat::kNotifyTextChanged); // as an edit does for every new text
    }
    void getText(int id, char* buffer, int size) override {
        if (!buffer || size <= 0) return;
        ControlState* s = state(id);
        std::size_t n = s ? s->text.size() : 0;
        if (n > static_cast<std::size_t>(size - 1)) n = static_cast<std::size_t>(size - 1);
        if (n) std::memcpy(buffer, s->text.data(), n);
        buffer[n] = 0;
    }
    void setNumber(int id, unsigned value) override { setText(id, std::to_string(value).c_str()); }
    unsigned getNumber(int id) override {
        ControlState* s = state(id);
        if (!s || s->text.empty() || !allDigits(s->text.c_str())) return 0;
        unsigned long long v = 0;
        for (char c : s->text) {
            v = v * 10 + static_cast<unsigned>(c - '0');
            if (v > 0xFFFFFFFFull) return 0; // too large reads as no number
        }
        return static_cast<unsigned>(v);
    }
    void setCheck(int id, int checked, bool) override {
        if (ControlState* s = state(id)) s->checked = checked ? 1 : 0;
    }
    int isChecked(int id) override {
        ControlState* s = state(id);
        return s ? s->checked : 0;
    }
    void enable(int id, int enabled) override {
        if (ControlState* s = state(id)) s->enabled = enabled ? 1 : 0;
    }
    int isEnabled(int id) override {
        if (id == IDD_IMAGE_PROPERTIES) return m_dialogEnabled ? 1 : 0;
        ControlState* s = state(id);
        return s ? s->enabled : 0;
    }
    void enableDialog(int enabled) override { m_dialogEnabled = enabled != 0; }
    void setTrackBar(int id, int low, int high, int page) override {
        ControlState* s = state(id);
        if (!s) return;
        s->low = low;
        s->high = high < low ? low : high;
        s->page = page;
        setTrackBarPosition(id, s->position);
    }
    void setTrackBarPosition(int id, int position) override {
        ControlState* s = state(id);
        if (!s) return;
        s->position = position < s->low ? s->low : position > s->high ? s->high : position;
    }
    int trackBarPosition(int id) override {
        ControlState* s = state(id);
        return s ? s->position : -1;
    }
    int hasFocus(int id) override { return m_focus == id; }
    void repaint(int) override {}
    void paintSolid(void* drawRequest, TVN_DWORD color) override {
        if (drawRequest) *static_cast<TVN_DWORD*>(drawRequest) = color;
        m_painted = true;
    }
    void showMessage(const char* text) override { tvn::plat::showMessage(text, m_owner); }
    int chooseColor(TVN_DWORD* color) override {
        if (!m_colorProc) return 0;
        TVN_DWORD chosen = *color;
        if (m_colorProc(&chosen, tvn::plat::s_custColors, m_colorUser) != 1) return 0;
        *color = chosen & 0x00FFFFFFu;
        return 1;
    }

    HWND m_owner;
    tvn::plat::CPropertiesHandler& m_handler;
    ControlState m_controls[kControlCount];
    int m_focus = 0;
    int m_endCode = 0;
    bool m_dialogEnabled = true;
    bool m_painted = false;
    TVN_CHOOSE_COLOR_PROC m_colorProc = nullptr;
    void* m_colorUser = nullptr;
};

extern "C" TVN_API void TVN_CDECL tvnSetPropertiesDialogProc(TVN_PROPERTIES_DIALOG_PROC proc, void* user) {
    g_user.store(user);
    g_proc.store(proc);
}

extern "C" TVN_API int TVN_CDECL tvnPropGetText(TVN_PROPERTIES_DIALOG* dialog, int id, char* text, int size) {
    ControlState* s = dialog ? dialog->state(id) : nullptr;
    if (!s) return -1;
    dialog->getText(id, text, size);
    return static_cast<int>(s->text.size());
}

extern "C" TVN_API int TVN_CDECL tvnPropIsChecked(TVN_PROPERTIES_DIALOG* dialog, int id) {
    return dialog ? dialog->isChecked(id) : 0;
}

extern "C" TVN_API int TVN_CDECL tvnPropIsEnabled(TVN_PROPERTIES_DIALOG* dialog, int id) {
    return dialog ? dialog->isEnabled(id) : 0;
}

extern "C" TVN_API int TVN_CDECL tvnPropGetTrackBar(TVN_PROPERTIES_DIALOG* dialog, int id, int* low, int* high,
                                                   int* page) {
    int i = dialog ? dialog->indexOf(id) : -1;
    if (i < 0 || kControls[i].kind != TrackBar) return -1;
    const ControlState& s = dialog->m_controls[i];
    if (low) *low = s.low;
    if (high) *high = s.high;
    if (page) *page = s.page;
    return s.position;
}

extern "C" TVN_API int TVN_CDECL tvnPropType(TVN_PROPERTIES_DIALOG* dialog, int id, const char* text) {
    if (!dialog || !text || !dialog->usable(id, 1u << NumberEdit) || !allDigits(text)) return 0;
    dialog->m_focus = id;
    dialog->setText(id, text);
    return 1;
}

extern "C" TVN_API int TVN_CDECL tvnPropClick(TVN_PROPERTIES_DIALOG* dialog, int id) {
    if (!dialog || !dialog->usable(id, 1u << PushButton | 1u << CheckBox | 1u << Radio)) return 0;
    dialog->m_focus = id;
    const ControlSpec& shape = kControls[dialog->indexOf(id)];
    if (shape.kind == CheckBox) dialog->m_controls[dialog->indexOf(id)].checked ^= 1;
    if (shape.kind == Radio)
        for (int i = 0; i < kControlCount; ++i)
            if (kControls[i].kind == Radio && kControls[i].group == shape.group)
                dialog->m_controls[i].checked = kControls[i].id == id;
    dialog->command(id, tvn::plat::kNotifyClicked);
    return 1;
}

extern "C" TVN_API int TVN_CDECL tvnPropSetTrackBar(TVN_PROPERTIES_DIALOG* dialog, int id, int position) {
    if (!dialog || !dialog->usable(id, 1u << TrackBar)) return 0;
    dialog->m_focus = id;
    dialog->setTrackBarPosition(id, position);
    dialog->m_handler.onTrackBar(*dialog, id);
    return 1;
}

extern "C" TVN_API int TVN_CDECL tvnPropDrawSwatch(TVN_PROPERTIES_DIALOG* dialog, TVN_DWORD* color) {
    if (!dialog) return 0;
    TVN_DWORD painted = 0;
    dialog->m_painted = false;
    dialog->m_handler.drawColorSwatch(*dialog, &painted);
    if (dialog->m_painted && color) *color = painted;
    return dialog->m_painted ? 1 : 0;
}

extern "C" TVN_API int TVN_CDECL tvnPropGetEndCode(TVN_PROPERTIES_DIALOG* dialog) {
    return dialog ? dialog->m_endCode : 0;
}

extern "C" TVN_API void TVN_CDECL tvnPropSetColorProc(TVN_PROPERTIES_DIALOG* dialog, TVN_CHOOSE_COLOR_PROC proc,
                                                     void* user) {
    if (!dialog) return;
    dialog->m_colorProc = proc;
    dialog->m_colorUser = user;
}

namespace tvn {
namespace plat {

TVN_DWORD s_custColors[16];

int runHostPropertiesDialog(HWND owner, CPropertiesHandler& handler, int* result) {
    TVN_PROPERTIES_DIALOG_PROC proc = g_proc.load();
    if (!proc) return 0;
    TVN_PROPERTIES_DIALOG dialog(owner, handler);
    handler.onInitDialog(dialog);
    proc(&dialog, owner, g_user.load());
    // A proc that returned with the dialog still open cancelled it.
    *result = dialog.m_endCode ? dialog.m_endCode : IDC_PROP_CANCEL;
    return 1;
}

int hooks::propertiesDialog(HWND owner, CPropertiesHandler& handler) {
    int result = 0;
    if (runHostPropertiesDialog(owner, handler, &result)) return result;
    return sys::propertiesDialog(owner, handler);
}

} // namespace plat
} // namespace tvn
