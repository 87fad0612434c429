// Image operations: layout, file transfer set-up and image information.
#include "ds/twain/cap_containers.h"
#include "ds/twain/operations.h"
#include "ds/twain/session.h"

void GetImageInfo() { *static_cast<TW_IMAGEINFO*>(g_session.data) = g_session.imageInfo; }

void GetImageLayout() {
    *static_cast<TW_IMAGELAYOUT*>(g_session.data) = g_session.currentLayout;
}

void GetDefaultImageLayout() {
    *static_cast<TW_IMAGELAYOUT*>(g_session.data) = g_session.defaultLayout;
}

// The host's layout is taken as it is; the scan start makes sense of it.
void SetImageLayout() {
    g_session.currentLayout = *static_cast<TW_IMAGELAYOUT*>(g_session.data);
}

void ResetImageLayout() {
    g_session.currentLayout = g_session.defaultLayout;
    GetImageLayout();
}

void GetSetupFileXfer() {
    *static_cast<TW_SETUPFILEXFER*>(g_session.data) = g_session.currentFileSetup;
}

void GetDefaultSetupFileXfer() {
    *static_cast<TW_SETUPFILEXFER*>(g_session.data) = g_session.defaultFileSetup;
}

void SetSetupFileXfer() {
    TW_SETUPFILEXFER setup = *static_cast<TW_SETUPFILEXFER*>(g_session.data);
    // The source writes TIFF and BMP files; the file format position
    // follows the format named here.
    if (setup.Format != TWFF_TIFF && setup.Format != TWFF_BMP) {
        Fail(TWCC_BADVALUE);
        return;
    }
    // A name the host did not terminate is cut to the field.
    setup.FileName[sizeof setup.FileName - 1] = '\0';
    g_session.caps.fileFormat = *ListPosition(*FindValueList(ICAP_IMAGEFILEFORMAT), setup.Format);
    g_session.currentFileSetup = setup;
}

void ResetSetupFileXfer() {
    g_session.currentFileSetup = g_session.defaultFileSetup;
    GetSetupFileXfer();
}
