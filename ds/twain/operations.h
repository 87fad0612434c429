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

// User interface.
void EnableSource();
void DisableSource();

// Pending transfers and the image transfers.
void GetPendingXfers();
void EndPendingXfer();
void ResetPendingXfers();
// Runs after every pending-transfers operation: the first-scan flag of a
// feeder batch, and the next page of an automatic feeder batch.
void AfterPendingXfers();
void NativeXfer();
void MemoryXfer();
void FileXfer();

// Notifications to the source manager.
void NotifyXferReady();
void NotifyCloseRequest();
