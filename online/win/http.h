#pragma once
// HTTP retrieval through WinINet for the online parts: the connected-state
// check, the text fetch, file downloads and the temp folder path. Everything
// runs on the calling (UI) thread; the message pump steps keep the windows
// painting while the network is busy. Handles are opened and closed by each
// call; nothing is shared between calls.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "message_pump.h"

namespace velmar::online {

// Connect, send and receive time-outs of every WinINet handle, so a server
// that never answers is given up instead of hanging the program.
struct Timeouts {
  unsigned long connectMs = 15000;
  unsigned long receiveMs = 15000;
  // The limit of a whole download in the background (DownloadInBackground).
  unsigned long downloadMs = 10 * 60 * 1000;
};
// The time-outs used by every call (the program sets them once at start).
void SetTimeouts(Timeouts timeouts);
Timeouts CurrentTimeouts();

// The message pump step of the window layer (every message waiting for this
// thread; a WM_QUIT seen is posted again for the main loop).
using ui::PumpMessages;

// True when the system reports an Internet connection; `flags` receives the
// connection flags. Throws std::runtime_error("Unable to locate function
// InternetGetConnectedState in library wininet.dll") when wininet.dll cannot
// be loaded.
bool IsConnected(std::uint32_t& flags);

// The text fetch: one read of at most 65536 bytes, never from the cache
// (INTERNET_FLAG_RELOAD), with an empty user agent. Pumps before it starts,
// after opening the URL and after a read that delivered bytes.
struct FetchResult {
  std::string body;     // the bytes of the one read, NUL bytes included
  unsigned status = 0;  // the HTTP status code; 0 when the URL could not be opened
  bool cut = false;     // the server had more than 65536 bytes
  bool Ok() const { return status >= 200 && status < 300; }
};
FetchResult FetchUrl(const std::string& url);
// The body, or "" when nothing could be fetched. Like any body, that of an
// error page (404) is returned; look at FetchUrl's status to tell them apart.
std::string FetchText(const std::string& url);

// File downloads. The body goes into "<destination>.part" beside the
// destination in 1024-byte chunks and is renamed over the destination only
// when whole: the URL opened, the status is 2xx, the bytes read equal the
// Content-Length the server announced (when it announced one), no read
// failed, and the SHA-256 matches (when one is given). Otherwise the
// temporary file is deleted and the destination is left as it was.
enum class DownloadError {
  None,
  BadUrl,       // not an http:// or https:// address
  OpenFailed,   // no connection, refused, timed out before the answer
  HttpStatus,   // the server answered with a status other than 2xx
  Broken,       // a read failed or fewer bytes came than announced
  Checksum,     // the bytes do not have the SHA-256 asked for
  File,         // the temporary file could not be created, written or renamed
  Cancelled,    // the user stopped it
  TimedOut,     // it took longer than its overall limit
};
struct DownloadResult {
  DownloadError error = DownloadError::None;
  unsigned status = 0;       // the HTTP status code when the URL opened
  std::uint64_t bytes = 0;   // bytes received
  std::uint64_t announced = 0;  // Content-Length, 0 when none was given
  unsigned long systemError = 0;  // GetLastError of a failed call
  bool Ok() const { return error == DownloadError::None; }
};
struct DownloadOptions {
  // The variant with progress: pump steps before opening, after opening,
  // before each read and after each progress call, and a 1 ms pause per chunk.
  bool withProgress = false;
  // Called after every chunk written, also for the final empty read, with
  // the byte count of the chunk (the progress step of the caller).
  std::function<void(std::uint64_t chunk)> onChunk;
  // Hexadecimal SHA-256 the file must have; empty: not checked.
  std::string sha256;
  // Where the bytes go until they are whole; empty: "<destination>.part".
  std::filesystem::path partPath;
  // Asked before every read: true stops the download (Cancelled).
  std::function<bool()> stop;
  // Asked once the file is whole, just before it replaces the destination:
  // false abandons it (Cancelled). Whoever stops the download from another
  // thread can so know whether the destination is being written.
  std::function<bool()> commit;
};
// Flags 0 (the library may answer from its cache), the executable's file name
// as user agent. Never throws for network or file failures: the result says.
DownloadResult DownloadFile(const std::string& url, const std::filesystem::path& destination,
                            const DownloadOptions& options = {});
// The reason of a failed system or WinINet call in Russian, for the user's
// messages ("доступ запрещён"); an unknown one as "код ошибки N".
std::wstring ErrorText(unsigned long code);

// Why a download failed, in Russian, for the user ("сервер ответил кодом 404").
std::wstring DownloadFailureText(const DownloadResult& result);

// A download on a worker thread while the calling (UI) thread goes on
// handling its messages, so the windows answer however slow the server is.
struct BackgroundDownload {
  std::string sha256;              // as in DownloadOptions
  // As in DownloadOptions, with a number of the try before ".part".
  std::filesystem::path partPath;
  // Asked several times a second on the calling thread: true cancels.
  std::function<bool()> cancelled;
  // Called on the calling thread with the bytes received so far.
  std::function<void(std::uint64_t total)> progress;
  // The limit of the whole download, besides the time-out of every read.
  unsigned long overallMs = CurrentTimeouts().downloadMs;
};
// Returns when the download ends, and at once when it is cancelled or its
// overall limit is reached: the worker then stops at its next read (at the
// latest after the read's time-out), deletes its temporary file and leaves
// the destination as it was. A temporary file left by a program that was
// killed meanwhile is removed by RemoveLeftOverParts at the next start.
DownloadResult DownloadInBackground(const std::string& url, const std::filesystem::path& destination,
                                    const BackgroundDownload& options);

// Deletes the temporary files of downloads that never ended (the program was
// killed or lost its power): every "*.part" in `tableFolder`, and the update's
// "VelmarPro-*.part" in `tempFolder`.
void RemoveLeftOverParts(const std::filesystem::path& tableFolder, const std::filesystem::path& tempFolder);
// The temporary file of the update installer saved as `saveName` in `tempFolder`.
std::filesystem::path UpdatePartPath(const std::filesystem::path& tempFolder, const std::wstring& saveName);

// The user's temp folder in its long form, ending with a path separator, or
// "???" when the long form cannot be had (appending a name to it then gives a
// name the file system refuses).
std::wstring TempFolderPath();

}  // namespace velmar::online
