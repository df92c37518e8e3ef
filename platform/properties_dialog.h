// The image properties dialog as the platform runs it. The core supplies the
// behaviour (CPropertiesHandler); the platform supplies the window it acts on
// (CPropertiesWindow): the real dialog of template 170 on Windows, or the
// host's own window behind tvnSetPropertiesDialogProc. Controls are named by
// the ids of resources/dialog_ids.h.
#ifndef TIVORN_PROPERTIES_DIALOG_H
#define TIVORN_PROPERTIES_DIALOG_H

#include "platform/environment.h"
#include "resources/dialog_ids.h"

namespace tvn {
namespace plat {

// Notification codes of a command, as the Win32 controls send them.
const int kNotifyClicked = 0;          // BN_CLICKED
const int kNotifyTextChanged = 0x0300; // EN_CHANGE

// What the dialog's behaviour may do with its window.
class CPropertiesWindow {
public:
    virtual void setText(int id, const char* text) = 0;
    virtual void getText(int id, char* buffer, int size) = 0; // cut to size - 1 characters
    virtual void setNumber(int id, unsigned value) = 0;
    // The edit's text as an unsigned number; 0 when it is empty or not a number.
    virtual unsigned getNumber(int id) = 0;
    // posted: takes effect once the current message is handled (initial checks).
    virtual void setCheck(int id, int checked, bool posted) = 0;
    virtual int isChecked(int id) = 0;
    virtual void enable(int id, int enabled) = 0;
    virtual int isEnabled(int id) = 0;
    // The whole dialog: off while a dialog of its own without an owner (the
    // mask's open-file dialog) is up, so the user cannot act on both.
    virtual void enableDialog(int enabled) = 0;
    virtual void setTrackBar(int id, int low, int high, int page) = 0;
    virtual void setTrackBarPosition(int id, int position) = 0;
    virtual int trackBarPosition(int id) = 0;
    virtual int hasFocus(int id) = 0;
    virtual void repaint(int id) = 0;
    // Fills the owner-drawn item of a draw request with one colour.
    virtual void paintSolid(void* drawRequest, TVN_DWORD color) = 0;
    // A message box owned by the dialog.
    virtual void showMessage(const char* text) = 0;
    // The colour-choice dialog over s_custColors, starting at *color, fully
    // open; 1 and the choice (red in the low byte, top byte 0) when confirmed.
    virtual int chooseColor(TVN_DWORD* color) = 0;

protected:
    ~CPropertiesWindow() {}
};

// The dialog's behaviour, implemented by the core. The platform calls it for
// every message; none of these may throw.
class CPropertiesHandler {
public:
    virtual void onInitDialog(CPropertiesWindow& window) = 0;
    // A command from control id; returns the code to end the dialog with, or 0
    // to keep it open.
    virtual int onCommand(CPropertiesWindow& window, int id, int notification) = 0;
    virtual void onTrackBar(CPropertiesWindow& window, int id) = 0;
    virtual void drawColorSwatch(CPropertiesWindow& window, void* drawRequest) = 0;

protected:
    ~CPropertiesHandler() {}
};

// Runs the modal dialog owned by owner through the environment's hook: the
// host's proc when one is installed, else the system's own (none on POSIX).
// Returns the end code, or 0 when the dialog could not be shown.
inline int runPropertiesDialog(HWND owner, CPropertiesHandler& handler) {
    return env().propertiesDialog(owner, handler);
}

// Runs the host's proc (tvnSetPropertiesDialogProc) when there is one: returns 1
// with the end code in *result, or 0 when no proc is installed.
int runHostPropertiesDialog(HWND owner, CPropertiesHandler& handler, int* result);

// Whether a file can be opened at all (no access asked, existing files only):
// the mask-file test at OK.
inline int fileCanBeOpened(const char* path) {
    if (!path || !path[0]) return 0;
    const HANDLE file = env().fileOpen(path, FileQuery);
    if (file == INVALID_HANDLE_VALUE) return 0;
    env().fileClose(file);
    return 1;
}

// Custom colours of every colour-choice dialog of the process; black at start.
extern TVN_DWORD s_custColors[16];

} // namespace plat
} // namespace tvn

#endif
