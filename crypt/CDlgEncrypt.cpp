#include "crypt/CDlgEncrypt.h"

#include "framework/DataExchange.h"

void CDlgEncrypt::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_ENCRYPT_OPERATION, operation_);
    dx.Control(IDC_ENCRYPT_PASSWORD, password_);
    dx.Control(IDC_ENCRYPT_CONFIRM, confirm_);
    dx.Control(IDC_ENCRYPT_BROWSE, browse_);
    dx.Control(IDC_ENCRYPT_START, start_);
    dx.Control(IDC_ENCRYPT_PROGRESS, progress_);
    dx.Control(IDC_ENCRYPT_FRAME, listFrame_);
}
