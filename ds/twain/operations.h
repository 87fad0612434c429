// The TWAIN operations of pavo.ds, one function each. The dispatcher has
// checked the state and that the host passed its structure (g_session.data)
// before calling them.
#pragma once

// Module start-up: state 3, no application, own identity filled.
void InitSourceAtLoad();

// Control operations.
void GetIdentity();
void OpenSource();
void CloseSource();
void GetStatus();
void GetXferGroup();
void GetSetupMemXfer();

// Image operations.
void GetImageInfo();
void GetImageLayout();
void GetDefaultImageLayout();
void SetImageLayout();
void ResetImageLayout();
void GetSetupFileXfer();
void GetDefaultSetupFileXfer();
void SetSetupFileXfer();
void ResetSetupFileXfer();

// Notifications to the source manager.
void NotifyXferReady();
void NotifyCloseRequest();
