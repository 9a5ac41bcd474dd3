#include "http.h"

#include <windows.h>
#include <wininet.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include "catalogue.h"
#include "handles.h"
#include "sha256.h"

namespace velmar::online {
namespace {

using ui::InternetHandle;

Timeouts g_timeouts;

void SetHandleTimeouts(HINTERNET handle) {
  DWORD connect = g_timeouts.connectMs, receive = g_timeouts.receiveMs;
  InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
  InternetSetOptionA(handle, INTERNET_OPTION_SEND_TIMEOUT, &receive, sizeof receive);
  InternetSetOptionA(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);
}

InternetHandle OpenRoot(const char* agent) {
  InternetHandle root(InternetOpenA(agent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (root) SetHandleTimeouts(root.get());
  return root;
}

// An opened GET request: the connection and the request handle. The request
// is made in steps rather than with InternetOpenUrl so that the time-outs can
// be set on the request itself before it is sent (set on the root handle only,
// they do not reach the request under every WinINet).
struct Request {
  InternetHandle connection, request;
  explicit operator bool() const { return static_cast<bool>(request); }
  HINTERNET get() const { return request.get(); }
};

Request OpenUrl(HINTERNET root, const std::string& url, DWORD flags) {
  Request r;
  char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
  std::vector<char> path(url.size() + 1), extra(url.size() + 1);
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host;
  parts.dwHostNameLength = sizeof host;
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
  if (!InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) return r;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    SetLastError(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    return r;
  }
  r.connection.Reset(InternetConnectA(root, host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
  if (!r.connection) return r;
  SetHandleTimeouts(r.connection.get());
  std::string object = std::string(path.data()) + extra.data();
  if (object.empty()) object = "/";
  if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
  InternetHandle request(
      HttpOpenRequestA(r.connection.get(), "GET", object.c_str(), nullptr, nullptr, nullptr, flags, 0));
  if (!request) return r;
  SetHandleTimeouts(request.get());
  if (!HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return r;
  r.request = std::move(request);
  return r;
}

unsigned StatusCode(HINTERNET url) {
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoA(url, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
  return status;
}

// The Content-Length the server announced; nothing when it gave none.
std::optional<std::uint64_t> ContentLength(HINTERNET url) {
  char text[32] = {};
  DWORD size = sizeof text - 1;
  if (!HttpQueryInfoA(url, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return std::nullopt;
  std::uint64_t value = 0;
  for (DWORD i = 0; i < size; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  return value;
}

std::string ExecutableName() {
  char path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string full(path, n);
  const std::size_t slash = full.find_last_of("\\/");
  return slash == std::string::npos ? full : full.substr(slash + 1);
}

std::wstring SystemMessage(unsigned long code) {
  wchar_t* text = nullptr;
  HMODULE wininet = GetModuleHandleW(L"wininet.dll");
  const DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                      (wininet && code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST
                           ? FORMAT_MESSAGE_FROM_HMODULE
                           : 0);
  const DWORD n = FormatMessageW(flags, wininet, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n ? std::wstring(text, n) : L"error " + std::to_wstring(code);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
    message.pop_back();
  return message;
}

}  // namespace

void SetTimeouts(Timeouts timeouts) { g_timeouts = timeouts; }
Timeouts CurrentTimeouts() { return g_timeouts; }

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool IsConnected(std::uint32_t& flags) {
  const ui::Library library(LoadLibraryA("wininet.dll"));
  if (!library) throw std::runtime_error("Unable to locate function InternetGetConnectedState in library wininet.dll");
  using GetConnectedState = BOOL(WINAPI*)(LPDWORD, DWORD);
  auto function =
      reinterpret_cast<GetConnectedState>(reinterpret_cast<void*>(GetProcAddress(library.get(), "InternetGetConnectedState")));
  if (!function) return false;
  DWORD state = 0;
  const bool connected = function(&state, 0) != FALSE;
  flags = state;
  return connected;
}

FetchResult FetchUrl(const std::string& url) {
  PumpMessages();
  FetchResult result;
  InternetHandle root = OpenRoot("");
  if (!root) return result;
  std::vector<char> buffer(kFetchLimit);
  Request handle = OpenUrl(root.get(), url, INTERNET_FLAG_RELOAD);
  PumpMessages();
  if (!handle) return result;
  result.status = StatusCode(handle.get());
  DWORD n = 0;
  if (InternetReadFile(handle.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &n) && n > 0) {
    PumpMessages();
    result.body.assign(buffer.data(), n);
  }
  const std::optional<std::uint64_t> announced = ContentLength(handle.get());
  result.cut = announced ? *announced > n : n == kFetchLimit;
  return result;
}

std::string FetchText(const std::string& url) { return FetchUrl(url).body; }

DownloadResult DownloadFile(const std::string& url, const std::filesystem::path& destination,
                            const DownloadOptions& options) {
  DownloadResult result;
  if (!IsWebUrl(url)) {
    result.error = DownloadError::BadUrl;
    return result;
  }
  const bool progress = options.withProgress;
  if (progress) PumpMessages();
  InternetHandle root = OpenRoot(ExecutableName().c_str());
  Request handle;
  if (root) handle = OpenUrl(root.get(), url, 0);
  if (!handle) result.systemError = GetLastError();
  if (progress) PumpMessages();
  if (!handle) {
    result.error = DownloadError::OpenFailed;
    return result;
  }
  result.status = StatusCode(handle.get());
  if (result.status < 200 || result.status >= 300) {
    result.error = DownloadError::HttpStatus;
    return result;
  }
  const std::optional<std::uint64_t> announced = ContentLength(handle.get());
  result.announced = announced.value_or(0);

  std::filesystem::path part = destination;
  part += L".part";
  bool written = false;
  {
    ui::KernelHandle file(CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
      result.systemError = GetLastError();
      result.error = DownloadError::File;
      return result;
    }
    Sha256 sha;
    char chunk[1024];
    for (;;) {
      if (progress) PumpMessages();
      DWORD n = 0;
      if (!InternetReadFile(handle.get(), chunk, sizeof chunk, &n)) {
        result.systemError = GetLastError();
        result.error = DownloadError::Broken;
        break;
      }
      if (progress) Sleep(1);
      DWORD out = 0;
      if (n > 0 && (!WriteFile(file.get(), chunk, n, &out, nullptr) || out != n)) {
        result.systemError = GetLastError();
        result.error = DownloadError::File;
        break;
      }
      sha.Update(chunk, n);
      result.bytes += n;
      if (options.onChunk) options.onChunk(n);
      if (progress) PumpMessages();
      if (n == 0) break;
    }
    if (result.Ok() && announced && result.bytes != *announced) result.error = DownloadError::Broken;
    if (result.Ok() && !options.sha256.empty() && !DigestMatches(sha.Finish(), options.sha256))
      result.error = DownloadError::Checksum;
    // Closed here, so that a failure to write the last bytes is seen.
    if (result.Ok() && !CloseHandle(file.Release())) {
      result.systemError = GetLastError();
      result.error = DownloadError::File;
    }
    written = result.Ok();
  }
  if (written && !MoveFileExW(part.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    result.systemError = GetLastError();
    result.error = DownloadError::File;
  }
  if (!result.Ok()) DeleteFileW(part.c_str());
  return result;
}

std::wstring DescribeDownloadError(const DownloadResult& result) {
  switch (result.error) {
    case DownloadError::None:
      return L"";
    case DownloadError::BadUrl:
      return L"The address is not an http or https address";
    case DownloadError::OpenFailed:
      return L"The address could not be opened: " + SystemMessage(result.systemError);
    case DownloadError::HttpStatus:
      return L"The server answered with status " + std::to_wstring(result.status);
    case DownloadError::Broken:
      return L"The download broke off after " + std::to_wstring(result.bytes) + L" bytes" +
             (result.announced ? L" of " + std::to_wstring(result.announced) : std::wstring());
    case DownloadError::Checksum:
      return L"The file does not have the SHA-256 digest the catalogue gives";
    case DownloadError::File:
      return L"The file could not be written: " + SystemMessage(result.systemError);
  }
  return L"";
}

std::wstring TempFolderPath() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return L"???";
  wchar_t longPath[MAX_PATH + 1] = {};
  const DWORD m = GetLongPathNameW(temp, longPath, MAX_PATH + 1);
  if (m == 0 || m > MAX_PATH) return L"???";
  std::wstring path(longPath, m);
  if (path.back() != L'\\' && path.back() != L'/') path += L'\\';
  return path;
}

}  // namespace velmar::online
