// A second Windows program for the tests, plain Win32, so that none of the
// tool's own clipboard code is involved:
//   win_helper read         writes the clipboard's Unicode text to stdout as UTF-8
//   win_helper hold TEXT    puts TEXT on the clipboard and holds the clipboard
//                           open, as a busy program does, until stdin closes
//   win_helper close TITLE  waits up to 30 s for a window titled TITLE, then
//                           closes it as its frame's close box does

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

bool openClipboard(HWND owner)
{
    for (int attempt = 0; attempt < 50; ++attempt, Sleep(100))
        if (OpenClipboard(owner))
            return true;
    return false;
}

int read()
{
    if (!openClipboard(nullptr))
        return 2;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto *text = data ? static_cast<const wchar_t *>(GlobalLock(data)) : nullptr;
    std::string utf8(text ? 4 * std::wcslen(text) : 0, '\0');
    if (text) {
        const int written = WideCharToMultiByte(
            CP_UTF8, 0, text, -1, utf8.data(), static_cast<int>(utf8.size()) + 1, nullptr, nullptr);
        utf8.resize(static_cast<size_t>(written - 1));
        GlobalUnlock(data);
    }
    CloseClipboard();
    _setmode(_fileno(stdout), _O_BINARY); // no CR added before LF
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    return text ? 0 : 1;
}

int hold(const wchar_t *text)
{
    // Only a window that opened and emptied the clipboard may put data on it.
    HWND owner =
        CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    const size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(copy), text, bytes);
    GlobalUnlock(copy);
    if (!openClipboard(owner) || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, copy))
        return 2;
    std::puts("held");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    CloseClipboard();
    return 0;
}

int close(const wchar_t *title)
{
    for (int attempt = 0; attempt < 300; ++attempt, Sleep(100))
        if (HWND window = FindWindowW(nullptr, title))
            return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 2;
    return 1;
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"read")
        return read();
    if (argc == 3)
        return mode == L"hold" ? hold(argv[2]) : mode == L"close" ? close(argv[2]) : 64;
    return 64;
}
