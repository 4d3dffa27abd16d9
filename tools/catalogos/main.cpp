#include <cstdio>

int main() {
    std::fprintf(stderr, "movilant-catalogos: todavía sin órdenes\n");
    return 1;
}
