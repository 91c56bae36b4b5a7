#include <cstdio>

int main() {
    std::puts("dialvane-cli");
    return 0;
}
