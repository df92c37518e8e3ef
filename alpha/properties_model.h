// The image properties dialog's state and behaviour: the values being edited
// and what every control does with them. The image itself is touched only by
// CRGBAImage::showProperties, after OK.
#ifndef TIVORN_PROPERTIES_MODEL_H
#define TIVORN_PROPERTIES_MODEL_H

#include "tivorn/image.h"
#include "platform/properties_dialog.h"

class CImagePropertiesDlg : public tvn::plat::CPropertiesHandler {
public:
    CImagePropertiesDlg();
    ~CImagePropertiesDlg();
    CImagePropertiesDlg(const CImagePropertiesDlg&) = delete;
    CImagePropertiesDlg& operator=(const CImagePropertiesDlg&) = delete;

    // Runs the dialog owned by owner; its end code (1 OK, 2 cancel), 0 when it
    // could not be shown.
    int doModal(HWND owner);

    void onInitDialog(tvn::plat::CPropertiesWindow& window) override;
    int onCommand(tvn::plat::CPropertiesWindow& window, int id, int notification) override;
    void onTrackBar(tvn::plat::CPropertiesWindow& window, int id) override;
    void drawColorSwatch(tvn::plat::CPropertiesWindow& window, void* drawRequest) override;

    void updateControls(tvn::plat::CPropertiesWindow& window);
    void onBrowseMask(tvn::plat::CPropertiesWindow& window);
    void onChooseColor(tvn::plat::CPropertiesWindow& window);
    // Reads every field; 0 (the dialog stays open) when the mask mode names a
    // file that cannot be opened.
    int onOK(tvn::plat::CPropertiesWindow& window);

    IMG_TRANSP m_transp;
    const char* m_pszImageFile;
    TVN_DWORD m_dwWidth;
    TVN_DWORD m_dwHeight;
    TVN_DWORD m_dwWidthOrig;
    TVN_DWORD m_dwHeightOrig;
    TVN_DWORD m_nBlurKrnlSize;
    int m_bBlurOn;
    int m_bKeepAspect;
    char* m_strDlgMaskFile; // TVN_MAX_PATH bytes; null only when it could not be allocated

private:
    void linkAspect(tvn::plat::CPropertiesWindow& window, int changedId);
};

#endif
