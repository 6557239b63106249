#include <cstdio>

int main() {
    std::printf("panzerfeld: the game cannot be played yet; its window arrives with the main menu.\n");
    return 0;
}
