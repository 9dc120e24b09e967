// Listening sockets handed over by systemd (socket activation): the service unit started
// by forecastd.socket finds them from descriptor 3 on, with LISTEN_PID naming this
// process and LISTEN_FDS their count.
#pragma once

#include <string>
#include <vector>

namespace forecastd {

// The handed-over sockets (none when the variables are absent or meant for another
// process), marked close-on-exec. The variables are removed either way, so that a
// program this one starts does not take the sockets for its own. False, with the reason,
// when LISTEN_FDS or LISTEN_PID is not a number.
bool take_listen_sockets(std::vector<int>& sockets, std::string& error);

// Whether the descriptor is a listening stream socket.
bool is_listening_stream(int socket);

// The socket's own address as "HOST:PORT" ("[HOST]:PORT" for IPv6); empty when unknown.
std::string socket_address(int socket);

} // namespace forecastd
