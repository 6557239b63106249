// A short outage over real ENet on 127.0.0.1: the client joins through a UDP relay that the test
// starts, which loses some datagrams and, for three seconds, every one of them. The connection
// survives, and both sides say that it was interrupted and is back.
#include "net/EnetTransport.h"
#include "net/NetClient.h"
#include "net/NetHost.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <random>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char *kHash = "0123456789abcdef";

// Forwards datagrams between one client and a host port, dropping a share of them, or all while
// it is down.
class UdpRelay {
  public:
    UdpRelay(std::uint16_t hostPort, double loss) : loss(loss) {
        host.sin_family = AF_INET;
        host.sin_port = htons(hostPort);
        host.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        front = bound();
        back = bound();
        sockaddr_in address{};
        socklen_t length = sizeof address;
        getsockname(front, reinterpret_cast<sockaddr *>(&address), &length);
        frontPort = ntohs(address.sin_port);
        worker = std::thread([this] { run(); });
    }
    ~UdpRelay() {
        stop = true;
        worker.join();
        close(front);
        close(back);
    }
    std::uint16_t port() const { return frontPort; }
    void setDown(bool out) { down = out; }

  private:
    static int bound() {
        const int socket = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address);
        return socket;
    }
    void run() {
        std::mt19937 random(5);
        std::uint8_t packet[65536];
        pollfd sockets[2] = {{front, POLLIN, 0}, {back, POLLIN, 0}};
        while (!stop) {
            if (poll(sockets, 2, 5) <= 0)
                continue;
            for (int i = 0; i < 2; ++i) {
                if (!(sockets[i].revents & POLLIN))
                    continue;
                sockaddr_in from{};
                socklen_t length = sizeof from;
                const ssize_t size =
                    recvfrom(sockets[i].fd, packet, sizeof packet, 0, reinterpret_cast<sockaddr *>(&from), &length);
                if (size < 0)
                    continue;
                if (i == 0) {
                    client = from;
                    haveClient = true;
                }
                if (down || std::uniform_real_distribution<double>(0, 1)(random) < loss || !haveClient)
                    continue;
                const sockaddr_in &to = i == 0 ? host : client;
                sendto(i == 0 ? back : front, packet, static_cast<std::size_t>(size), 0,
                       reinterpret_cast<const sockaddr *>(&to), sizeof to);
            }
        }
    }

    double loss;
    sockaddr_in host{}, client{};
    bool haveClient = false;
    int front = -1, back = -1;
    std::uint16_t frontPort = 0;
    std::atomic<bool> down{false}, stop{false};
    std::thread worker;
};

bool said(const std::vector<std::string> &lines, const std::string &part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string &l) { return l.find(part) != std::string::npos; });
}

TEST(EnetOutageTest, ThreeSecondsOfTotalLossAreRiddenOutOnTheSameConnection) {
    std::string problem;
    std::unique_ptr<EnetTransport> listening = EnetTransport::listen(0, 4, problem);
    ASSERT_TRUE(listening) << problem;
    UdpRelay relay(listening->port(), 0.05);
    NetHost::Offer offer;
    offer.levelFile = "lvl1.lvl";
    offer.dataHash = kHash;
    offer.buildId = "build-a";
    NetHost host(std::move(listening), offer);
    NetClient client(EnetTransport::connect("127.0.0.1:" + std::to_string(relay.port()), 1), "Anna", "build-b",
                     [](const std::string &) { return std::optional<std::string>(kHash); });

    const Clock::time_point began = Clock::now();
    const auto now = [&] {
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - began).count());
    };
    std::vector<std::string> hostLines, clientLines;
    // Runs both sides until `done` holds; false when it has not within `seconds`.
    const auto pumpUntil = [&](const std::function<bool()> &done, std::uint32_t seconds) {
        const std::uint32_t deadline = now() + seconds * 1000;
        while (!done()) {
            if (now() > deadline)
                return false;
            host.service(now());
            client.service(now());
            for (std::string &l : host.takeMessages())
                hostLines.push_back(std::move(l));
            for (std::string &l : client.takeMessages())
                clientLines.push_back(std::move(l));
            std::this_thread::sleep_for(std::chrono::milliseconds(2)); // a poll interval, not a wait for a state
        }
        return true;
    };

    ASSERT_TRUE(pumpUntil([&] { return host.everyoneIn(); }, 10));
    host.start(0);
    // Neither side has a world here: paused, both still say every quarter second that they are there.
    host.setPause(true, 0);
    ASSERT_TRUE(pumpUntil([&] { return client.getPhase() == NetClient::Phase::kPlaying && client.getPausedBy() == 0; }, 10));

    relay.setDown(true);
    const std::uint32_t downAt = now();
    ASSERT_TRUE(pumpUntil([&] { return said(hostLines, "Player two's connection is interrupted") &&
                                       client.notice().find("Connection interrupted for") != std::string::npos; },
                          10));
    pumpUntil([&] { return now() - downAt >= 3000; }, 10); // the outage itself
    EXPECT_FALSE(said(hostLines, "lost the connection"));
    relay.setDown(false);
    ASSERT_TRUE(pumpUntil([&] { return said(hostLines, "Player two's connection is back") &&
                                       said(clientLines, "Connection back after"); },
                          15));
    EXPECT_EQ(client.getPhase(), NetClient::Phase::kPlaying) << client.getProblem();
    EXPECT_TRUE(host.isConnected(1));
    EXPECT_EQ(client.notice(), "");
    EXPECT_FALSE(said(hostLines, "lost the connection"));
}

} // namespace
