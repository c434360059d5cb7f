#include "platform/SingleInstance.h"

#include "platform/Names.h"
#include "platform/Win32Text.h"

#include <windows.h>

namespace torvane::platform {
namespace {

const std::wstring& WindowClass() {
    static const std::wstring name = win32::Wide(kInstanceWindowClass);
    return name;
}

LRESULT CALLBACK HandOverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return ::DefWindowProcW(window, message, wParam, lParam);
    auto* handler = reinterpret_cast<std::function<void(const CopyDataRecord&)>*>(
        ::GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!handler || !*handler || !data) return FALSE;
    // Nothing may unwind through the system's dispatch.
    try {
        CopyDataRecord record;
        record.dwData = static_cast<uint32_t>(data->dwData);
        const auto* bytes = static_cast<const uint8_t*>(data->lpData);
        if (bytes) record.bytes.assign(bytes, bytes + data->cbData);
        (*handler)(record);
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

// The receiver: a message-only window of our class, or an ordinary top-level
// window of that class made by another build of the program.
HWND FindReceiver() {
    HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, WindowClass().c_str(), nullptr);
    return window ? window : ::FindWindowW(WindowClass().c_str(), nullptr);
}

} // namespace

SingleInstance::~SingleInstance() {
    if (window_) ::DestroyWindow(static_cast<HWND>(window_));
    if (mutex_) {
        ::ReleaseMutex(mutex_);
        ::CloseHandle(mutex_);
    }
}

bool SingleInstance::Acquire() {
    if (mutex_) return true;
    HANDLE mutex = ::CreateMutexW(nullptr, TRUE, win32::Wide(kInstanceLockName).c_str());
    if (!mutex) return false;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    mutex_ = mutex;
    return true;
}

// Hand-overs arrive as window messages, not on a descriptor.
int SingleInstance::Listen() {
    return -1;
}

bool SingleInstance::Receive(CopyDataRecord&, int*) {
    return false;
}

void SingleInstance::Acknowledge(int) {}

bool SingleInstance::ListenForCopyData(std::function<void(const CopyDataRecord&)> handler) {
    handler_ = std::move(handler);
    if (window_) return true;
    HINSTANCE module = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = HandOverWindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = WindowClass().c_str();
    if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    HWND window = ::CreateWindowExW(0, WindowClass().c_str(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    module, nullptr);
    if (!window) return false;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handler_));
    window_ = window;
    return true;
}

bool SingleInstance::Send(const CopyDataRecord& record, int timeoutMs) {
    HWND receiver = FindReceiver();
    if (!receiver) return false;
    COPYDATASTRUCT data{};
    data.dwData = record.dwData;
    data.cbData = static_cast<DWORD>(record.bytes.size());
    data.lpData = const_cast<uint8_t*>(record.bytes.data());
    DWORD_PTR result = 0;
    // Synchronous as a plain send, but a hung instance does not hang us too.
    return ::SendMessageTimeoutW(receiver, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                                 static_cast<UINT>(timeoutMs), &result) != 0 &&
           result == TRUE;
}

} // namespace torvane::platform
