#pragma once
#include <cstddef>
#include <string>

// The rules a new password typed twice must meet, shared by every page that
// takes one (settings and encryption): both entries filled in, equal, and at
// most ten code units long, checked in that order.

constexpr size_t kMaxPasswordLength = 10;

enum class PasswordProblem { None, Empty, Different, TooLong };

PasswordProblem CheckPasswordEntry(const std::wstring& entered, const std::wstring& confirmation);

// The message that names the problem; null for None.
const wchar_t* PasswordProblemText(PasswordProblem problem);
