#include "settings/PasswordEntry.h"

PasswordProblem CheckPasswordEntry(const std::wstring& entered, const std::wstring& confirmation)
{
    if (entered.empty() || confirmation.empty())
        return PasswordProblem::Empty;
    if (confirmation != entered)
        return PasswordProblem::Different;
    if (entered.size() > kMaxPasswordLength)
        return PasswordProblem::TooLong;
    return PasswordProblem::None;
}

const wchar_t* PasswordProblemText(PasswordProblem problem)
{
    switch (problem) {
    case PasswordProblem::Empty:
        return L"输入的密码不能为空";
    case PasswordProblem::Different:
        return L"两次输入的密码不同";
    case PasswordProblem::TooLong:
        return L"密码有效字符为10位";
    case PasswordProblem::None:
        break;
    }
    return nullptr;
}
