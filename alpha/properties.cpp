// CRGBAImage::showProperties: the picture's size, transparency and blur edited
// in the properties dialog and applied on OK.
#include "alpha/properties_model.h"

#include "pixel/names.h"

int CRGBAImage::showProperties(HWND owner, int filter, IMG_PROGRESS_PROC progress, void* user) {
    CImagePropertiesDlg dlg;
    dlg.m_transp = m_transp;
    dlg.m_pszImageFile = m_strFileName;
    dlg.m_dwWidth = m_dwWidth;
    dlg.m_dwHeight = m_dwHeight;
    dlg.m_dwWidthOrig = m_dwWidthOrig;
    dlg.m_dwHeightOrig = m_dwHeightOrig;
    dlg.m_nBlurKrnlSize = m_nBlurKrnlSize;
    dlg.m_bBlurOn = m_nBlurKrnlSize != 0;
    if (dlg.m_strDlgMaskFile)
        tvn::pixel::copyName(dlg.m_strDlgMaskFile,
                             m_strMaskFileName && m_strMaskFileName[0] ? m_strMaskFileName : m_strFileName);
    if (dlg.doModal(owner) != 1) return 0;

    m_transp = dlg.m_transp;
    tvn::pixel::copyName(m_strMaskFileName, dlg.m_strDlgMaskFile);
    // The stored mode is applied even when it did not change.
    bool rebuiltWithoutBlur = true;
    switch (m_transp.byMode) {
    case TRANSP_CONST: setTransparencyConst(); break;
    case TRANSP_LG: setTransparencyLG(); break;
    case TRANSP_ELL: setTransparencyEll(); break;
    case TRANSP_MASK: setTransparencyByMask(); break;
    case TRANSP_ORIGINAL:
        restoreAlpha(filter, progress, user);
        rebuiltWithoutBlur = false;
        break;
    case TRANSP_CHROMAKEY: setTransparencyChromakey(); break;
    default: rebuiltWithoutBlur = false; break;
    }

    const bool resized = dlg.m_dwWidth != m_dwWidth || dlg.m_dwHeight != m_dwHeight;
    if (resized) setSize(dlg.m_dwWidth, dlg.m_dwHeight, filter, progress, user);

    if (!dlg.m_bBlurOn) {
        m_nBlurKrnlSize = 0; // the pixels stay blurred until the next resize
    } else if (m_nBlurKrnlSize != dlg.m_nBlurKrnlSize) {
        unsigned int k = dlg.m_nBlurKrnlSize;
        blur(&k, resized ? 0 : 1);
        m_nBlurKrnlSize = k;
    } else if (!resized && rebuiltWithoutBlur && m_nBlurKrnlSize && m_pOrigBuffer) {
        // The modes rebuild the picture bilinearly without its blur; a blur the
        // user kept on and unchanged is shown again, as the next resize would.
        setSize(m_dwWidth, m_dwHeight, filter, progress, user);
    }
    return 1;
}
