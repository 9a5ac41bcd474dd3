#pragma once
// A small HTTP server on 127.0.0.1 for the WinINet tests, in the test's own
// process: each path answers with bytes of the test's choosing, can break off
// after part of them, or never answer at all. Stopped by its destructor.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmar::test {

class LoopbackServer {
 public:
  struct Reply {
    std::string bytes;     // status line, headers and body, sent as they are
    bool hang = false;     // read the request and never answer
    bool holdOpen = false; // send the bytes, then neither send more nor close
  };

  LoopbackServer() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 16);
    int size = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    // A blocked accept does not always wake when its socket closes: a last
    // connection of our own lets the loop see that it is stopping.
    stopping_ = true;
    SOCKET wake = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(port_));
    connect(wake, reinterpret_cast<sockaddr*>(&address), sizeof address);
    thread_.join();
    closesocket(wake);
    closesocket(listener_);
    for (SOCKET s : held_) closesocket(s);
    WSACleanup();
  }

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

  void Set(const std::string& path, Reply reply) {
    std::lock_guard lock(mutex_);
    replies_[path] = std::move(reply);
  }
  // A whole 200 answer with its Content-Length.
  void SetBody(const std::string& path, const std::string& body, const std::string& status = "200 OK") {
    Set(path, {"HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
                   "\r\nConnection: close\r\n\r\n" + body});
  }
  // Announces `announced` bytes and sends only `body` before closing.
  void SetCutShort(const std::string& path, const std::string& body, std::size_t announced) {
    Set(path, {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(announced) + "\r\nConnection: close\r\n\r\n" +
                   body});
  }
  void SetHang(const std::string& path) { Set(path, {"", true}); }
  // Announces `announced` bytes, sends `body` and then falls silent.
  void SetStalled(const std::string& path, const std::string& body, std::size_t announced) {
    Set(path, {"HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(announced) + "\r\n\r\n" + body, false, true});
  }
  int requests() const { return requests_; }

 private:
  void Serve() {
    while (!stopping_) {
      SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      if (stopping_) {
        closesocket(client);
        return;
      }
      ++requests_;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const int n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, n);
      }
      const std::size_t start = request.find(' ') + 1;
      const std::string path = request.substr(start, request.find(' ', start) - start);
      Reply reply{"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found"};
      {
        std::lock_guard lock(mutex_);
        if (auto it = replies_.find(path); it != replies_.end()) reply = it->second;
      }
      if (reply.hang) {
        held_.push_back(client);
        continue;
      }
      for (std::size_t sent = 0; sent < reply.bytes.size();) {
        const int n = send(client, reply.bytes.data() + sent, static_cast<int>(reply.bytes.size() - sent), 0);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
      }
      if (reply.holdOpen) {
        held_.push_back(client);
        continue;
      }
      shutdown(client, SD_SEND);
      closesocket(client);
    }
  }

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  std::map<std::string, Reply> replies_;
  std::vector<SOCKET> held_;
  std::thread thread_;
};

}  // namespace velmar::test
