#pragma once
// A small HTTP server on 127.0.0.1 for the download tests. It answers GET requests from a table of
// routes, one thread per connection, closes every connection after its answer, and stops (joining
// its threads) with the object. Nothing it does outlives a few seconds.
#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace cardel::testhost {

struct Route {
  int status = 200;
  std::string contentType = "image/png";
  std::vector<uint8_t> body;
  // False: no Content-Length; the body ends with the connection.
  bool announceLength = true;
  // The body in pieces of this size with a pause after each, to keep a transfer running.
  size_t piece = 0;
  std::chrono::milliseconds pause{0};
};

class LoopbackServer {
 public:
  explicit LoopbackServer(std::map<std::string, Route> routes);
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  ~LoopbackServer();

  std::wstring Url(const std::string& path) const;
  // How often path was asked for, and the request headers of the last time.
  int Requests(const std::string& path) const;
  std::string LastHeaders(const std::string& path) const;

 private:
  void Accept();
  void Answer(SOCKET connection);

  std::map<std::string, Route> routes_;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::condition_variable stopped_;
  struct Seen {
    int requests = 0;
    std::string headers;
  };
  Seen Find(const std::string& path) const;

  std::map<std::string, Seen> seen_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace cardel::testhost
