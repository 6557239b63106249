#include "net/EnetTransport.h"

#include <enet/enet.h>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kChannels = 2;                  // kUnreliable and kReliable
constexpr std::size_t kLargestEnetPacket = 16 * 1024; // ENet refuses bigger ones before we see them

// What a disconnection carries, so the side that hears it can say why; a timeout carries 0.
constexpr enet_uint32 kClosed = 1;  // the other side ended it on purpose
constexpr enet_uint32 kFlooded = 2; // the host cut off a peer that sent too much

// ENet wants one enet_initialize per process before anything else; false when it failed.
bool enetReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        ready = enet_initialize() == 0;
        if (ready)
            std::atexit(enet_deinitialize);
    });
    return ready;
}

// What the look-up thread hands back. Shared with that thread, so a transport destroyed while a
// slow name server still thinks leaves nothing the thread could write to.
struct Lookup {
    std::mutex mutex;
    bool done = false;  // the thread has finished
    bool found = false; // and `address` holds the host
    ENetAddress address{};
};

// The peer number kept in ENet's user data; 0 for a peer this side no longer listens to.
Transport::PeerId peerIdOf(const ENetPeer *peer) {
    return static_cast<Transport::PeerId>(reinterpret_cast<std::uintptr_t>(peer->data));
}

void setPeerId(ENetPeer *peer, Transport::PeerId id) {
    peer->data = reinterpret_cast<void *>(static_cast<std::uintptr_t>(id));
}

} // namespace

struct EnetTransport::Impl {
    struct Peer {
        ENetPeer *enet = nullptr; // never null: a peer this side stops listening to is erased
        std::deque<std::pair<Clock::time_point, std::size_t>> window; // packets of the last second, bytes
        std::size_t windowBytes = 0;                                  // sum of the bytes in `window`
        std::size_t dropped = 0;                                      // packets refused from it
    };

    ENetHost *host = nullptr; // owned
    bool listening = false;   // a host (flood limits apply) rather than a client
    std::uint16_t boundPort = 0;
    std::map<PeerId, Peer> peers; // the peers this side still listens to; a gone one is forgotten
    PeerId nextPeer = 1;
    std::deque<Event> events; // told to the caller one per poll

    // A client's way to its host.
    std::shared_ptr<Lookup> lookup; // while the name is looked up or until the connection starts
    std::string hostName;           // as the player typed it
    std::uint16_t hostPort = 0;
    bool connected = false;
    bool ended = false; // kDisconnected was queued for the host
    std::string failure;

    ~Impl() {
        if (!host)
            return;
        // Send what is queued (a last reliable word before a disconnect), then tell everyone still
        // there, including those being let go, so they need not wait out the timeout.
        enet_host_flush(host);
        for (std::size_t i = 0; i < host->peerCount; ++i)
            if (host->peers[i].state != ENET_PEER_STATE_DISCONNECTED)
                enet_peer_disconnect_now(&host->peers[i], kClosed);
        enet_host_destroy(host);
    }

    std::string target() const { return hostName + ":" + std::to_string(hostPort); }

    Peer *find(PeerId id) {
        const auto it = peers.find(id);
        return it == peers.end() ? nullptr : &it->second;
    }

    void end(PeerId id, const std::string &why) {
        Event event;
        event.kind = Event::kDisconnected;
        event.peer = id;
        events.push_back(std::move(event));
        if (!listening && !ended) {
            ended = true;
            failure = why;
        }
    }

    // Starts the connection once the look-up is done.
    void startConnecting() {
        if (!lookup)
            return;
        ENetAddress address;
        {
            std::lock_guard<std::mutex> lock(lookup->mutex);
            if (!lookup->done)
                return;
            if (!lookup->found) {
                lookup.reset();
                end(kServerPeer, "cannot find host '" + hostName + "'");
                return;
            }
            address = lookup->address;
        }
        lookup.reset();
        address.port = hostPort;
        ENetPeer *enet = enet_host_connect(host, &address, kChannels, 0);
        if (!enet) {
            end(kServerPeer, "cannot connect to " + target());
            return;
        }
        setPeerId(enet, kServerPeer);
        enet_peer_timeout(enet, 0, kConnectTimeoutMs, kConnectTimeoutMs);
        peers[kServerPeer].enet = enet;
    }

    // True when `peer` has sent more in the last second than a host takes from anyone.
    bool floods(Peer &peer, std::size_t bytes) {
        const Clock::time_point now = Clock::now();
        while (!peer.window.empty() && now - peer.window.front().first >= std::chrono::seconds(1)) {
            peer.windowBytes -= peer.window.front().second;
            peer.window.pop_front();
        }
        peer.window.emplace_back(now, bytes);
        peer.windowBytes += bytes;
        return peer.window.size() > kFloodPackets || peer.windowBytes > kFloodBytes;
    }

    void received(ENetPeer *enet, std::uint8_t channel, ENetPacket *packet) {
        const PeerId id = peerIdOf(enet);
        Peer *peer = find(id);
        if (!peer)
            return; // a peer this side let go: what it still sends is nobody's business
        if (channel >= kChannels || packet->dataLength > kMaxPacketBytes) {
            ++peer->dropped;
            return;
        }
        if (listening && floods(*peer, packet->dataLength)) {
            ++peer->dropped;
            enet_peer_disconnect_now(enet, kFlooded);
            setPeerId(enet, 0);
            peers.erase(id);
            end(id, "");
            return;
        }
        Event event;
        event.kind = Event::kReceived;
        event.peer = id;
        event.channel = static_cast<Channel>(channel);
        event.data.assign(packet->data, packet->data + packet->dataLength);
        events.push_back(std::move(event));
    }

    void handle(const ENetEvent &happened) {
        switch (happened.type) {
        case ENET_EVENT_TYPE_CONNECT: {
            if (listening) {
                const PeerId id = nextPeer++;
                setPeerId(happened.peer, id);
                enet_peer_timeout(happened.peer, 0, kTimeoutMs, kTimeoutMs);
                peers[id].enet = happened.peer;
            } else if (peerIdOf(happened.peer) != kServerPeer) {
                return; // a connection this side already gave up
            } else {
                connected = true;
                enet_peer_timeout(happened.peer, 0, kTimeoutMs, kTimeoutMs);
            }
            Event event;
            event.kind = Event::kConnected;
            event.peer = peerIdOf(happened.peer);
            events.push_back(std::move(event));
            break;
        }
        case ENET_EVENT_TYPE_RECEIVE:
            received(happened.peer, happened.channelID, happened.packet);
            enet_packet_destroy(happened.packet);
            break;
        case ENET_EVENT_TYPE_DISCONNECT: {
            const PeerId id = peerIdOf(happened.peer);
            if (!find(id))
                return; // this side ended it and has said so already
            peers.erase(id);
            setPeerId(happened.peer, 0);
            if (!connected)
                end(id, "no answer from " + target());
            else if (happened.data == kClosed)
                end(id, target() + " ended the connection");
            else if (happened.data == kFlooded)
                end(id, target() + " cut the connection: too much sent");
            else
                end(id, "lost the connection to " + target());
            break;
        }
        case ENET_EVENT_TYPE_NONE:
            break;
        }
    }
};

EnetTransport::EnetTransport(std::unique_ptr<Impl> impl) : impl(std::move(impl)) {}

EnetTransport::~EnetTransport() = default;

std::unique_ptr<EnetTransport> EnetTransport::listen(std::uint16_t port, int maxPeers, std::string &problem) {
    if (!enetReady()) {
        problem = "the network library does not start";
        return nullptr;
    }
    if (maxPeers < 1 || maxPeers > ENET_PROTOCOL_MAXIMUM_PEER_ID) {
        problem = "cannot host " + std::to_string(maxPeers) + " players";
        return nullptr;
    }
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = port;
    errno = 0;
    ENetHost *host = enet_host_create(&address, static_cast<std::size_t>(maxPeers), kChannels, 0, 0);
    if (!host) {
        if (errno == EADDRINUSE)
            problem = "port " + std::to_string(port) + " is in use";
        else if (errno == EACCES)
            problem = "port " + std::to_string(port) + " is not allowed";
        else
            problem = "cannot open port " + std::to_string(port) +
                      (errno ? std::string(": ") + std::strerror(errno) : "");
        return nullptr;
    }
    host->maximumPacketSize = kLargestEnetPacket;
    auto impl = std::make_unique<Impl>();
    impl->host = host;
    impl->listening = true;
    ENetAddress bound{};
    impl->boundPort = enet_socket_get_address(host->socket, &bound) == 0 ? bound.port : port;
    return std::unique_ptr<EnetTransport>(new EnetTransport(std::move(impl)));
}

bool EnetTransport::parseAddress(const std::string &address, std::uint16_t defaultPort, std::string &host,
                                 std::uint16_t &port) {
    const std::size_t colon = address.find(':');
    const std::string name = address.substr(0, colon);
    if (name.empty() || name.size() > 253)
        return false;
    for (const char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-')
            return false;
    std::uint32_t number = defaultPort;
    if (colon != std::string::npos) {
        const std::string digits = address.substr(colon + 1);
        if (digits.empty() || digits.size() > 5)
            return false;
        number = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return false;
            number = number * 10 + static_cast<std::uint32_t>(c - '0');
        }
    }
    if (number < 1 || number > 65535)
        return false;
    host = name;
    port = static_cast<std::uint16_t>(number);
    return true;
}

std::unique_ptr<EnetTransport> EnetTransport::connect(const std::string &address, std::uint16_t defaultPort) {
    auto impl = std::make_unique<Impl>();
    std::unique_ptr<EnetTransport> transport(new EnetTransport(std::move(impl)));
    Impl &self = *transport->impl;
    if (!parseAddress(address, defaultPort, self.hostName, self.hostPort)) {
        self.end(kServerPeer, "bad address '" + address + "'");
        return transport;
    }
    if (!enetReady() || !(self.host = enet_host_create(nullptr, 1, kChannels, 0, 0))) {
        self.end(kServerPeer, "cannot open a network connection");
        return transport;
    }
    self.host->maximumPacketSize = kLargestEnetPacket;
    // A name server can keep enet_address_set_host waiting for seconds: it runs on its own thread,
    // which only ever touches the shared Lookup and may outlive this transport.
    auto lookup = std::make_shared<Lookup>();
    try {
        std::thread([lookup, name = self.hostName] {
            ENetAddress found{};
            const bool ok = enet_address_set_host(&found, name.c_str()) == 0;
            std::lock_guard<std::mutex> lock(lookup->mutex);
            lookup->address = found;
            lookup->found = ok;
            lookup->done = true;
        }).detach();
    } catch (const std::system_error &) {
        self.end(kServerPeer, "cannot look up host '" + self.hostName + "'");
        return transport;
    }
    self.lookup = std::move(lookup);
    return transport;
}

std::vector<std::string> EnetTransport::localAddresses() {
    std::vector<std::string> addresses;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return addresses;
    for (const ifaddrs *entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        if ((entry->ifa_flags & IFF_LOOPBACK) || !(entry->ifa_flags & IFF_UP))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto *ipv4 = reinterpret_cast<const sockaddr_in *>(entry->ifa_addr);
        if (!inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text))
            continue;
        if (std::find(addresses.begin(), addresses.end(), text) == addresses.end())
            addresses.emplace_back(text);
    }
    freeifaddrs(list);
    return addresses;
}

void EnetTransport::send(PeerId peer, Channel channel, const std::uint8_t *data, std::size_t size) {
    const Impl::Peer *target = impl->find(peer);
    if (!target || !target->enet || size > kMaxPacketBytes)
        return;
    if (channel != Channel::kUnreliable && channel != Channel::kReliable)
        return;
    // Channel 0 without flags is ENet's unreliable sequenced kind, just what kUnreliable promises.
    const enet_uint32 flags = channel == Channel::kReliable ? ENET_PACKET_FLAG_RELIABLE : 0;
    ENetPacket *packet = enet_packet_create(data, size, flags);
    if (packet && enet_peer_send(target->enet, static_cast<enet_uint8>(channel), packet) < 0)
        enet_packet_destroy(packet); // not connected (yet or any more)
}

bool EnetTransport::poll(std::uint32_t, Event &event) {
    impl->startConnecting();
    ENetEvent happened;
    while (impl->host && impl->events.empty() && enet_host_service(impl->host, &happened, 0) > 0)
        impl->handle(happened);
    if (impl->events.empty())
        return false;
    event = std::move(impl->events.front());
    impl->events.pop_front();
    return true;
}

void EnetTransport::flush() {
    if (impl->host)
        enet_host_flush(impl->host);
}

void EnetTransport::disconnect(PeerId peer) {
    if (!impl->listening && peer == kServerPeer && !impl->ended) {
        impl->lookup.reset(); // given up before the connection even started
        impl->ended = true;
    }
    Impl::Peer *target = impl->find(peer);
    if (!target)
        return;
    // Later rather than now: what was sent before still goes out first, as the caller expects.
    enet_peer_disconnect_later(target->enet, kClosed);
    setPeerId(target->enet, 0);
    impl->peers.erase(peer);
}

std::size_t EnetTransport::droppedFrom(PeerId peer) const {
    const auto it = impl->peers.find(peer);
    return it == impl->peers.end() ? 0 : it->second.dropped;
}

std::size_t EnetTransport::knownPeers() const {
    return impl->peers.size();
}

std::uint16_t EnetTransport::port() const {
    return impl->boundPort;
}

std::string EnetTransport::failure() const {
    return impl->failure;
}
