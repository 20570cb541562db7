#include "loopback_server.h"

#include <algorithm>

namespace cardel::host {
namespace {

constexpr DWORD kSocketTimeoutMs = 5000;
// However long a route's body, no answer goes on longer than this.
constexpr auto kLongestAnswer = std::chrono::seconds(60);

bool SendAll(SOCKET s, const void* data, size_t size) {
  for (auto* at = static_cast<const char*>(data); size > 0;) {
    const int sent = send(s, at, static_cast<int>(size), 0);
    if (sent <= 0) return false;
    at += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

}  // namespace

LoopbackServer::LoopbackServer(std::map<std::string, Route> routes) : routes_(std::move(routes)) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof(address);
  bind(listener_, reinterpret_cast<sockaddr*>(&address), size);
  listen(listener_, 16);
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] {
    for (SOCKET c; (c = accept(listener_, nullptr, nullptr)) != INVALID_SOCKET;) {
      for (int option : {SO_RCVTIMEO, SO_SNDTIMEO})
        setsockopt(c, SOL_SOCKET, option, reinterpret_cast<const char*>(&kSocketTimeoutMs), sizeof(DWORD));
      std::lock_guard lock(mutex_);
      connections_.emplace_back([this, c] { Answer(c); });
    }
  });
}

LoopbackServer::~LoopbackServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stopped_.notify_all();
  closesocket(listener_);
  acceptor_.join();
  for (std::thread& t : connections_) t.join();
  WSACleanup();
}

std::wstring LoopbackServer::Url(const std::string& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + std::wstring(path.begin(), path.end());
}

std::string LoopbackServer::LastRequest(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto it = requests_.find(path);
  return it == requests_.end() ? std::string{} : it->second;
}

void LoopbackServer::Answer(SOCKET connection) {
  std::string request;
  char buffer[4096];
  for (int got; request.find("\r\n\r\n") == std::string::npos && (got = recv(connection, buffer, sizeof(buffer), 0)) > 0;)
    request.append(buffer, static_cast<size_t>(got));
  const size_t start = request.find(' ') + 1;
  const std::string path = request.substr(start, request.find(' ', start) - start);
  {
    std::lock_guard lock(mutex_);
    requests_[path] = request;
  }
  // A query names no other route, so a client can ask for the same body under URLs no cache has seen.
  const auto found = routes_.find(path.substr(0, path.find('?')));
  const bool known = found != routes_.end();
  const Route route = known ? found->second : Route{{'g', 'o', 'n', 'e'}, "text/html"};
  std::string head = known ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n";
  head += "Content-Type: " + route.contentType + "\r\nConnection: close\r\n";
  const uint64_t length = route.claimedLength ? route.claimedLength : uint64_t{route.body.size()} * route.repeat;
  if (route.announceLength) head += "Content-Length: " + std::to_string(length) + "\r\n";
  head += "\r\n";
  bool open = SendAll(connection, head.data(), head.size());
  const size_t piece = route.piece          ? route.piece
                       : route.pause.count() ? route.body.size() / 4 + 1
                                             : std::max<size_t>(route.body.size(), 1);
  const auto deadline = std::chrono::steady_clock::now() + kLongestAnswer;
  for (size_t round = 0; open && round < route.repeat; ++round) {
    for (size_t at = 0; open && at < route.body.size(); at += piece) {
      const size_t count = std::min(piece, route.body.size() - at);
      open = SendAll(connection, route.body.data() + at, count);
      std::unique_lock lock(mutex_);
      open = open && !stopped_.wait_for(lock, route.pause, [this] { return stopping_; }) &&
             std::chrono::steady_clock::now() < deadline;
    }
  }
  shutdown(connection, SD_SEND);
  closesocket(connection);
}

}  // namespace cardel::host
