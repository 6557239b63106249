#pragma once

#include "net/Transport.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The real network: a Transport over ENet (UDP), either a host that players join or a client of
// one. The only code that speaks ENet; everything else sees the Transport interface.
class EnetTransport : public Transport {
  public:
    // A host on all IPv4 addresses at `port` (0: any free port) for up to `maxPeers` players; null
    // with `problem` ("port 24731 is in use") when it cannot open.
    static std::unique_ptr<EnetTransport> listen(std::uint16_t port, int maxPeers, std::string &problem);
    // A client that joins `address` ("host" or "host:port", the host a name or a dotted IPv4
    // address). Returns at once: the name is looked up on a thread of its own, and poll() later
    // reports kConnected, or kDisconnected with failure() saying why.
    static std::unique_ptr<EnetTransport> connect(const std::string &address, std::uint16_t defaultPort);
    // Splits `address` as connect() reads it; false for anything else ("", "x:", "x:99999", "a b").
    static bool parseAddress(const std::string &address, std::uint16_t defaultPort, std::string &host,
                             std::uint16_t &port);
    // This machine's IPv4 addresses other than loopback ("192.168.1.20"), for the host's screen.
    static std::vector<std::string> localAddresses();

    ~EnetTransport() override;
    EnetTransport(const EnetTransport &) = delete;
    EnetTransport &operator=(const EnetTransport &) = delete;

    void send(PeerId peer, Channel channel, const std::uint8_t *data, std::size_t size) override;
    bool poll(std::uint32_t nowMs, Event &event) override;
    void flush() override;
    void disconnect(PeerId peer) override;
    std::size_t droppedFrom(PeerId peer) const override;

    std::uint16_t port() const;  // the port a host is bound to; 0 for a client
    std::size_t knownPeers() const; // connections this side still listens to; gone ones are forgotten
    std::string failure() const override; // why a client's connection failed or ended; "" while all is well

    static constexpr PeerId kServerPeer = 1;              // the host as its client sees it
    // Silence after which ENet gives a peer up: while connecting, and once connected, when it is
    // longer than the game's own rule (20 s), so that a short outage is the game's to survive.
    static constexpr std::uint32_t kConnectTimeoutMs = 5000;
    static constexpr std::uint32_t kTimeoutMs = 25000;
    static constexpr std::size_t kFloodPackets = 400;     // most packets a peer may send a host in one second
    static constexpr std::size_t kFloodBytes = 64 * 1024; // most bytes a peer may send a host in one second

  private:
    struct Impl;
    explicit EnetTransport(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> impl; // the ENet host and what is known of its peers
};
