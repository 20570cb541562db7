#include "loopback_server.h"

#include <ws2tcpip.h>

#include <algorithm>

namespace cardel::testhost {
namespace {

constexpr DWORD kSocketTimeoutMs = 5000;

std::string Head(int status, const Route& route) {
  std::string head = "HTTP/1.1 " + std::to_string(status) + (status < 400 ? " OK" : " Not Found") +
                     "\r\nContent-Type: " + route.contentType + "\r\nConnection: close\r\n";
  if (route.announceLength) head += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
  return head + "\r\n";
}

bool SendAll(SOCKET s, const char* data, size_t size) {
  while (size > 0) {
    const int sent = send(s, data, static_cast<int>(size), 0);
    if (sent <= 0) return false;
    data += sent;
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
  acceptor_ = std::thread([this] { Accept(); });
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

LoopbackServer::Seen LoopbackServer::Find(const std::string& path) const {
  std::lock_guard lock(mutex_);
  const auto it = seen_.find(path);
  return it == seen_.end() ? Seen{} : it->second;
}

int LoopbackServer::Requests(const std::string& path) const { return Find(path).requests; }
std::string LoopbackServer::LastHeaders(const std::string& path) const { return Find(path).headers; }

void LoopbackServer::Accept() {
  for (;;) {
    const SOCKET connection = accept(listener_, nullptr, nullptr);
    if (connection == INVALID_SOCKET) return;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&kSocketTimeoutMs), sizeof(DWORD));
    setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&kSocketTimeoutMs), sizeof(DWORD));
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, connection] { Answer(connection); });
  }
}

void LoopbackServer::Answer(SOCKET connection) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    const int got = recv(connection, buffer, sizeof(buffer), 0);
    if (got <= 0) break;
    request.append(buffer, static_cast<size_t>(got));
  }
  const size_t start = request.find(' ') + 1;
  const std::string path = request.substr(start, request.find(' ', start) - start);
  {
    std::lock_guard lock(mutex_);
    Seen& seen = seen_[path];
    ++seen.requests;
    seen.headers = request;
  }
  const auto it = routes_.find(path);
  const Route route = it != routes_.end() ? it->second : Route{404, "text/html", {'n', 'o'}};
  const std::string head = Head(route.status, route);
  bool open = SendAll(connection, head.data(), head.size());
  const size_t piece = route.piece ? route.piece : std::max<size_t>(route.body.size(), 1);
  for (size_t at = 0; open && at < route.body.size() && !stopping_; at += piece) {
    open = SendAll(connection, reinterpret_cast<const char*>(route.body.data()) + at,
                   std::min(piece, route.body.size() - at));
    std::unique_lock lock(mutex_);
    stopped_.wait_for(lock, route.pause, [this] { return stopping_.load(); });
  }
  shutdown(connection, SD_SEND);
  closesocket(connection);
}

}  // namespace cardel::testhost
