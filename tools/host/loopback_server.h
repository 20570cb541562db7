#pragma once
// A small HTTP server on 127.0.0.1 for the download tests: it answers GET requests from a table of
// routes (anything else is a 404 page), one thread per connection, closes each connection after
// its answer, and stops with the object, cutting short any answer still being sent.
#include <winsock2.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cardel::host {

struct Route {
  std::vector<uint8_t> body;
  std::string contentType = "image/png";
  // False: no Content-Length; the body ends with the connection.
  bool announceLength = true;
  // Not zero: the body goes in four pieces with this pause after each, to keep a transfer running.
  std::chrono::milliseconds pause{0};
  // Not zero: the size of those pieces instead.
  size_t piece = 0;
  // The body is sent this many times over: a body without end, as far as a test waits.
  size_t repeat = 1;
  // Not zero: the length announced, whatever is sent.
  uint64_t claimedLength = 0;
};

class LoopbackServer {
 public:
  explicit LoopbackServer(std::map<std::string, Route> routes);
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  ~LoopbackServer();

  std::wstring Url(const std::string& path) const;
  // The last request for path, headers included; empty if there was none.
  std::string LastRequest(const std::string& path) const;

 private:
  void Answer(SOCKET connection);

  const std::map<std::string, Route> routes_;
  SOCKET listener_;
  unsigned short port_ = 0;
  bool stopping_ = false;
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  std::map<std::string, std::string> requests_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace cardel::host
