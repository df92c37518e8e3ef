// What each control of the properties dialog does to the values being edited.
#include "alpha/properties_model.h"

#include "pixel/names.h"
#include "pixel/heap.h"
#include "pixel/module_start.h"

namespace {

using tvn::plat::CPropertiesWindow;

struct ModeRadio {
    int id;
    unsigned char mode;
};
const ModeRadio kModeRadios[] = {
    {IDC_PROP_MODE_CONST, TRANSP_CONST}, {IDC_PROP_MODE_LG, TRANSP_LG},
    {IDC_PROP_MODE_ELL, TRANSP_ELL},     {IDC_PROP_MODE_MASK, TRANSP_MASK},
    {IDC_PROP_MODE_ORIGINAL, TRANSP_ORIGINAL}, {IDC_PROP_MODE_CHROMAKEY, TRANSP_CHROMAKEY},
};

// The fourteen controls that only one mode uses, with that mode.
struct ModeControl {
    int id;
    unsigned char mode;
};
const ModeControl kModeControls[] = {
    {IDC_PROP_CONST, TRANSP_CONST},
    {IDC_PROP_LG_TOP, TRANSP_LG},
    {IDC_PROP_LG_LEFT, TRANSP_LG},
    {IDC_PROP_LG_RIGHT, TRANSP_LG},
    {IDC_PROP_LG_BOTTOM, TRANSP_LG},
    {IDC_PROP_ELL_CENTER, TRANSP_ELL},
    {IDC_PROP_ELL_BORDER, TRANSP_ELL},
    {IDC_PROP_MASK_FILE, TRANSP_MASK},
    {IDC_PROP_MASK_BROWSE, TRANSP_MASK},
    {IDC_PROP_COLOR, TRANSP_CHROMAKEY},
    {IDC_PROP_COLOR_SWATCH, TRANSP_CHROMAKEY},
    {IDC_PROP_KEY_SOFT, TRANSP_CHROMAKEY},
    {IDC_PROP_KEY_HARD, TRANSP_CHROMAKEY},
    {IDC_PROP_KEY_DEVIATION, TRANSP_CHROMAKEY},
};

// The percentage edits and the record field each one edits.
struct PercentEdit {
    int id;
    unsigned char IMG_TRANSP::*field;
};
const PercentEdit kPercentEdits[] = {
    {IDC_PROP_CONST, &IMG_TRANSP::byConstTransp}, {IDC_PROP_LG_TOP, &IMG_TRANSP::byLGTop},
    {IDC_PROP_LG_LEFT, &IMG_TRANSP::byLGLeft},    {IDC_PROP_LG_RIGHT, &IMG_TRANSP::byLGRight},
    {IDC_PROP_LG_BOTTOM, &IMG_TRANSP::byLGBottom}, {IDC_PROP_ELL_CENTER, &IMG_TRANSP::byEllCenter},
    {IDC_PROP_ELL_BORDER, &IMG_TRANSP::byEllBorder},
};

const int kDeviationPage = 25;
const int kDeviationMax = 255;
const int kBlurPage = 5;
const int kBlurMin = 1;
const int kBlurMax = 20;

// value × numerator / denominator, truncated, without 32-bit overflow on the way.
unsigned scaled(unsigned value, TVN_DWORD numerator, TVN_DWORD denominator) {
    unsigned long long v = static_cast<unsigned long long>(value) * numerator / denominator;
    return v > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<unsigned>(v);
}

} // namespace

CImagePropertiesDlg::CImagePropertiesDlg()
    : m_transp(), m_pszImageFile(""), m_dwWidth(0), m_dwHeight(0), m_dwWidthOrig(0), m_dwHeightOrig(0),
      m_nBlurKrnlSize(0), m_bBlurOn(0), m_bKeepAspect(1),
      m_strDlgMaskFile(static_cast<char*>(tvn::pixel::heapAllocZero(TVN_MAX_PATH))) {}

CImagePropertiesDlg::~CImagePropertiesDlg() {
    tvn::pixel::heapFree(m_strDlgMaskFile);
}

int CImagePropertiesDlg::doModal(HWND owner) {
    if (!m_strDlgMaskFile) return 0;
    return tvn::plat::runPropertiesDialog(owner, *this);
}

void CImagePropertiesDlg::onInitDialog(CPropertiesWindow& window) {
    window.setText(IDC_PROP_IMAGE_FILE, m_pszImageFile ? m_pszImageFile : "");
    window.setNumber(IDC_PROP_WIDTH, m_dwWidth);
    window.setNumber(IDC_PROP_HEIGHT, m_dwHeight);
    window.setCheck(IDC_PROP_KEEP_ASPECT, 1, false);
    for (const ModeRadio& radio : kModeRadios)
        if (radio.mode == m_transp.byMode) window.setCheck(radio.id, 1, true);
    window.setCheck(m_transp.bChromakeySoft ? IDC_PROP_KEY_SOFT : IDC_PROP_KEY_HARD, 1, true);
    for (const PercentEdit& edit : kPercentEdits) window.setNumber(edit.id, m_transp.*edit.field);
    window.setText(IDC_PROP_MASK_FILE, m_strDlgMaskFile);
    window.setTrackBar(IDC_PROP_KEY_DEVIATION, 0, kDeviationMax, kDeviationPage);
    window.setTrackBarPosition(IDC_PROP_KEY_DEVIATION, static_cast<int>(
        m_transp.dwChromakeyDev > static_cast<TVN_DWORD>(kDeviationMax) ? kDeviationMax : m_transp.dwChromakeyDev));
    updateControls(window);
}

void CImagePropertiesDlg::updateControls(CPropertiesWindow& window) {
    for (const ModeControl& control : kModeControls) window.enable(control.id, control.mode == m_transp.byMode);
    window.setCheck(IDC_PROP_BLUR_ON, m_bBlurOn, false);
    if (m_bBlurOn) {
        window.enable(IDC_PROP_BLUR_SIZE, 1);
        window.setTrackBar(IDC_PROP_BLUR_SIZE, kBlurMin, kBlurMax, kBlurPage);
        window.setTrackBarPosition(IDC_PROP_BLUR_SIZE,
                                   m_nBlurKrnlSize > static_cast<TVN_DWORD>(kBlurMax) ? kBlurMax
                                                                                       : static_cast<int>(m_nBlurKrnlSize));
    } else {
        window.enable(IDC_PROP_BLUR_SIZE, 0);
    }
}

int CImagePropertiesDlg::onCommand(CPropertiesWindow& window, int id, int notification) {
    if (id == IDC_PROP_OK) return onOK(window) ? IDC_PROP_OK : 0;
    if (id == IDC_PROP_CANCEL) return IDC_PROP_CANCEL;
    if ((id == IDC_PROP_WIDTH || id == IDC_PROP_HEIGHT) && notification == tvn::plat::kNotifyTextChanged) {
        // Only the edit being typed in drives the link, so the change it makes
        // in the other edit does not come back.
        if (m_bKeepAspect && window.hasFocus(id)) linkAspect(window, id);
        return 0;
    }
    if (notification != tvn::plat::kNotifyClicked) return 0;
    for (const ModeRadio& radio : kModeRadios) {
        if (radio.id != id) continue;
        m_transp.byMode = radio.mode;
        updateControls(window);
        return 0;
    }
    switch (id) {
    case IDC_PROP_KEY_SOFT: m_transp.bChromakeySoft = 1; break;
    case IDC_PROP_KEY_HARD: m_transp.bChromakeySoft = 0; break;
    case IDC_PROP_BLUR_ON:
        m_bBlurOn = window.isChecked(IDC_PROP_BLUR_ON) ? 1 : 0;
        updateControls(window);
        break;
    case IDC_PROP_KEEP_ASPECT:
        m_bKeepAspect = !m_bKeepAspect;
        if (m_bKeepAspect) linkAspect(window, IDC_PROP_WIDTH);
        break;
    case IDC_PROP_COLOR: onChooseColor(window); break;
    case IDC_PROP_MASK_BROWSE: onBrowseMask(window); break;
    default: break;
    }
    return 0;
}

// Sets the other size edit from the one given. A picture with an original side
// of 0 has no aspect to keep: the other edit then stays as it is.
void CImagePropertiesDlg::linkAspect(CPropertiesWindow& window, int changedId) {
    if (!m_dwWidthOrig || !m_dwHeightOrig) return;
    const unsigned typed = window.getNumber(changedId);
    if (changedId == IDC_PROP_WIDTH)
        window.setNumber(IDC_PROP_HEIGHT, scaled(typed, m_dwHeightOrig, m_dwWidthOrig));
    else
        window.setNumber(IDC_PROP_WIDTH, scaled(typed, m_dwWidthOrig, m_dwHeightOrig));
}

void CImagePropertiesDlg::onTrackBar(CPropertiesWindow& window, int id) {
    const int position = window.trackBarPosition(id);
    if (position < 0) return;
    if (id == IDC_PROP_KEY_DEVIATION) m_transp.dwChromakeyDev = static_cast<TVN_DWORD>(position);
    if (id == IDC_PROP_BLUR_SIZE) m_nBlurKrnlSize = static_cast<TVN_DWORD>(position);
}

void CImagePropertiesDlg::drawColorSwatch(CPropertiesWindow& window, void* drawRequest) {
    if (window.isEnabled(IDC_PROP_COLOR)) window.paintSolid(drawRequest, m_transp.clrChromakey);
}

void CImagePropertiesDlg::onChooseColor(CPropertiesWindow& window) {
    TVN_DWORD color = m_transp.clrChromakey;
    if (!window.chooseColor(&color)) return;
    m_transp.clrChromakey = color;
    window.repaint(IDC_PROP_COLOR_SWATCH);
}

// The mask is chosen by loading it: only a file that loads as a picture is taken.
// A picture made in memory has no name to start from; load refuses an empty one,
// so the choice then starts in the open-file dialog's folder.
void CImagePropertiesDlg::onBrowseMask(CPropertiesWindow& window) {
    // The open-file dialog has no owner: the properties dialog is off meanwhile.
    struct Off {
        CPropertiesWindow& window;
        explicit Off(CPropertiesWindow& w) : window(w) { window.enableDialog(0); }
        ~Off() { window.enableDialog(1); }
    } off(window);
    char start[TVN_MAX_PATH];
    tvn::pixel::copyName(start, m_strDlgMaskFile[0]        ? m_strDlgMaskFile
                                : CRGBAImage::m_strPath[0] ? CRGBAImage::m_strPath
                                                           : ".");
    try {
        CRGBAImage probe;
        if (!probe.load(start, 1)) return;
        tvn::pixel::copyName(m_strDlgMaskFile, probe.getFileName());
        window.setText(IDC_PROP_MASK_FILE, m_strDlgMaskFile);
    } catch (char* text) {
        window.showMessage(text); // out of memory: nothing may escape into the window's loop
    }
}

int CImagePropertiesDlg::onOK(CPropertiesWindow& window) {
    m_dwWidth = window.getNumber(IDC_PROP_WIDTH);
    m_dwHeight = window.getNumber(IDC_PROP_HEIGHT);
    // Only the low byte is kept: 300 becomes 44; 101..255 act as 100 in the modes.
    for (const PercentEdit& edit : kPercentEdits)
        m_transp.*edit.field = static_cast<unsigned char>(window.getNumber(edit.id) & 0xFFu);
    char mask[TVN_MAX_PATH];
    window.getText(IDC_PROP_MASK_FILE, mask, sizeof mask);
    if (m_transp.byMode == TRANSP_MASK && !tvn::plat::fileCanBeOpened(mask)) {
        window.showMessage(tvn::pixel::messageText(tvn::pixel::Msg::CannotOpenMaskFile));
        return 0;
    }
    tvn::pixel::copyName(m_strDlgMaskFile, mask);
    return 1;
}
