#include "shell/CDlgFunction.h"

#include "framework/DataExchange.h"

void CDlgFunction::DoDataExchange(fw::DataExchange& dx)
{
    dx.Control(IDC_FUNCTION_RESTORE, restore_);
    dx.Control(IDC_FUNCTION_STOP, stop_);
    dx.Control(IDC_FUNCTION_OLD_PASSWORD, oldPassword_);
    dx.Control(IDC_FUNCTION_NEW_PASSWORD, newPassword_);
    dx.Control(IDC_FUNCTION_CONFIRM_PASSWORD, confirmPassword_);
    dx.Control(IDC_FUNCTION_SAVE, save_);
    dx.Control(IDC_FUNCTION_SPLITLINE_PROTECT, protectLine_);
    dx.Control(IDC_FUNCTION_SPLITLINE_PASSWORD, passwordLine_);
}
