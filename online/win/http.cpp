#include "http.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <stdexcept>
#include <vector>

#include "catalogue.h"
#include "internet_handle.h"
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

}  // namespace

void SetTimeouts(Timeouts timeouts) { g_timeouts = timeouts; }
Timeouts CurrentTimeouts() { return g_timeouts; }

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

  std::filesystem::path part = options.partPath;
  if (part.empty()) {
    part = destination;
    part += L".part";
  }
  bool written = false;
  {
    // Others may delete it (a cancelled download in the background is
    // cleaned up at once by the thread that gave up on it), not read or write it.
    ui::KernelHandle file(
        CreateFileW(part.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
      result.systemError = GetLastError();
      result.error = DownloadError::File;
      return result;
    }
    Sha256 sha;
    char chunk[1024];
    for (;;) {
      if (progress) PumpMessages();
      if (options.stop && options.stop()) {
        result.error = DownloadError::Cancelled;
        break;
      }
      // A read asks only for what has arrived (at most a chunk): a read of a
      // whole chunk waits until all of it is there, which from a server that
      // sends a byte at a time is long after the user stopped the download.
      DWORD available = 0, n = 0;
      if (!InternetQueryDataAvailable(handle.get(), &available, 0, 0)) {
        result.systemError = GetLastError();
        result.error = DownloadError::Broken;
        break;
      }
      const DWORD want = available == 0 ? static_cast<DWORD>(sizeof chunk)
                                        : std::min<DWORD>(available, static_cast<DWORD>(sizeof chunk));
      if (!InternetReadFile(handle.get(), chunk, want, &n)) {
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
  if (written && options.commit && !options.commit()) {
    written = false;
    result.error = DownloadError::Cancelled;
  }
  if (written && !MoveFileExW(part.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    result.systemError = GetLastError();
    result.error = DownloadError::File;
  }
  if (!result.Ok()) DeleteFileW(part.c_str());
  return result;
}

std::wstring ErrorText(unsigned long code) {
  const char* text = nullptr;
  switch (code) {
    case ERROR_FILE_NOT_FOUND: text = "файл не найден"; break;
    case ERROR_PATH_NOT_FOUND: text = "папка не найдена"; break;
    case ERROR_ACCESS_DENIED: text = "доступ запрещён"; break;
    case ERROR_WRITE_PROTECT: text = "диск защищён от записи"; break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: text = "файл занят другой программой"; break;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL: text = "на диске нет места"; break;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: text = "недопустимое имя файла"; break;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: text = "не хватает памяти"; break;
    case ERROR_INTERNET_TIMEOUT: text = "сервер не ответил вовремя"; break;
    case ERROR_INTERNET_NAME_NOT_RESOLVED: text = "имя сервера не найдено"; break;
    case ERROR_INTERNET_CANNOT_CONNECT: text = "не удалось соединиться с сервером"; break;
    case ERROR_INTERNET_CONNECTION_ABORTED:
    case ERROR_INTERNET_CONNECTION_RESET: text = "соединение прервано"; break;
    case ERROR_INTERNET_UNRECOGNIZED_SCHEME:
    case ERROR_INTERNET_INVALID_URL: text = "неверный адрес"; break;
    default: break;
  }
  auto wide = [](const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), n);
    return out;
  };
  return text ? wide(text) : wide("код ошибки ") + std::to_wstring(code);
}

std::wstring DownloadFailureText(const DownloadResult& result) {
  auto wide = [](const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8, -1, out.data(), n);
    return out;
  };
  switch (result.error) {
    case DownloadError::None:
      break;
    case DownloadError::BadUrl:
      return wide("адрес не начинается с http:// или https://");
    case DownloadError::OpenFailed:
      return wide("сервер не отвечает (") + ErrorText(result.systemError) + L")";
    case DownloadError::HttpStatus:
      return wide("сервер ответил кодом ") + std::to_wstring(result.status);
    case DownloadError::Broken:
      return wide("связь прервалась, получено байт: ") + std::to_wstring(result.bytes) +
             (result.announced ? wide(" из ") + std::to_wstring(result.announced) : std::wstring());
    case DownloadError::Checksum:
      return wide("файл не совпадает с контрольной суммой из каталога");
    case DownloadError::File:
      return wide("файл не записан (") + ErrorText(result.systemError) + L")";
    case DownloadError::Cancelled:
      return wide("загрузка отменена");
    case DownloadError::TimedOut:
      return wide("загрузка длилась слишком долго и прервана");
  }
  return {};
}

DownloadResult DownloadInBackground(const std::string& url, const std::filesystem::path& destination,
                                    const BackgroundDownload& background) {
  // What the worker and this thread share; the worker keeps it alive when
  // this thread stops waiting for it.
  struct Shared {
    std::mutex lock;
    bool stopped = false, committing = false;
    std::atomic<bool> done{false};
    std::atomic<std::uint64_t> bytes{0};
    DownloadResult result;
  };
  auto shared = std::make_shared<Shared>();
  // Every download its own part: one given up on may still hold its part
  // until its read times out, and must not keep the next try from writing.
  static std::atomic<unsigned> attempts{0};
  std::filesystem::path part = background.partPath;
  if (part.empty()) {
    part = destination;
    part += L".part";
  }
  part.replace_extension(std::to_wstring(++attempts) + L".part");
  DownloadOptions options;
  options.sha256 = background.sha256;
  options.partPath = part;
  options.onChunk = [s = shared.get()](std::uint64_t n) { s->bytes += n; };
  options.stop = [s = shared.get()] {
    const std::lock_guard<std::mutex> hold(s->lock);
    return s->stopped;
  };
  options.commit = [s = shared.get()] {
    const std::lock_guard<std::mutex> hold(s->lock);
    s->committing = !s->stopped;
    return s->committing;
  };
  std::thread worker([shared, url, destination, options] {
    shared->result = DownloadFile(url, destination, options);
    shared->done = true;
  });

  const auto start = std::chrono::steady_clock::now();
  DownloadError stopReason = DownloadError::None;
  while (!shared->done) {
    if (background.cancelled && background.cancelled()) stopReason = DownloadError::Cancelled;
    else if (std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(background.overallMs))
      stopReason = DownloadError::TimedOut;
    if (stopReason != DownloadError::None) {
      bool committing = false;
      {
        const std::lock_guard<std::mutex> hold(shared->lock);
        shared->stopped = true;
        committing = shared->committing;
      }
      // A whole file already on its way over the destination is let finish:
      // a rename takes no time, and the user then has what was downloaded.
      if (committing) {
        while (!shared->done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        break;
      }
      worker.detach();
      // The worker may be blocked in a read for as long as its time-out: its
      // part is marked for deletion now, so it goes when the worker lets go of
      // it, even when the program is ended before (the worker never renames it).
      DeleteFileW(part.c_str());
      DownloadResult result;
      result.error = stopReason;
      result.bytes = shared->bytes;
      return result;
    }
    if (background.progress) background.progress(shared->bytes);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    PumpMessages();
  }
  worker.join();
  if (background.progress) background.progress(shared->bytes);
  return shared->result;
}

std::filesystem::path UpdatePartPath(const std::filesystem::path& tempFolder, const std::wstring& saveName) {
  return tempFolder / (L"VelmarPro-" + saveName + L".part");
}

void RemoveLeftOverParts(const std::filesystem::path& tableFolder, const std::filesystem::path& tempFolder) {
  auto remove = [](const std::filesystem::path& folder, const std::wstring& pattern) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder / pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder / found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  };
  remove(tableFolder, L"*.part");
  remove(tempFolder, L"VelmarPro-*.part");
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
