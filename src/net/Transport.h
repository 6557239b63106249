#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The game's view of a network: peers it can send packets to and hear from, on two channels. The
// battle code speaks only to this interface, so a test can put a simulated network in place of
// the real one (EnetTransport, the only code that speaks ENet).
class Transport {
  public:
    using PeerId = std::uint32_t; // one number per connection, never reused by one transport

    enum class Channel : std::uint8_t {
        kUnreliable = 0, // sequenced: may be lost, never arrives after a newer one of this channel
        kReliable = 1,   // arrives once, in the order sent, unless the connection goes
    };

    struct Event {
        enum Kind { kConnected, kDisconnected, kReceived };
        Kind kind = kReceived;
        PeerId peer = 0;
        Channel channel = Channel::kReliable;
        std::vector<std::uint8_t> data; // kReceived only
    };

    virtual ~Transport() = default;

    // Queues a packet for `peer`; an unknown or gone peer is ignored. Packets longer than
    // kMaxPacketBytes are not sent.
    virtual void send(PeerId peer, Channel channel, const std::uint8_t *data, std::size_t size) = 0;
    // Takes the next thing that happened, without waiting; false when there is nothing. `nowMs` is
    // the caller's clock in milliseconds (a simulated network delivers by it; ENet has its own).
    virtual bool poll(std::uint32_t nowMs, Event &event) = 0;
    // Sends what is queued now rather than at the next poll.
    virtual void flush() = 0;
    // Ends the connection to `peer`: it hears kDisconnected, this side hears nothing more of it.
    virtual void disconnect(PeerId peer) = 0;
    // Packets dropped by the transport itself for `peer` so far (a flooding peer, an oversized
    // packet); the caller counts the packets it refuses itself.
    virtual std::size_t droppedFrom(PeerId peer) const = 0;

    // Why a connection could not be made, in a few words; empty when nothing failed.
    virtual std::string failure() const { return {}; }

    static constexpr std::size_t kMaxPacketBytes = 1400;
};
