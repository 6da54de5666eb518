// Strings, the framework's exception class and the case-insensitive compare the code relies on.
#pragma once
#include <exception>
#include <string>

using AnsiString = std::string;  // bytes; the system's texts are UTF-8

class Exception : public std::exception {
public:
    explicit Exception(AnsiString message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    AnsiString Message;
};

// Compares ASCII letters without regard to case; <0, 0, >0 like strcmp.
int AnsiCompareText(const AnsiString& a, const AnsiString& b);
AnsiString IntToStr(int value);
