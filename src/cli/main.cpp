#include <iostream>

int main() {
    std::cerr << "vornetica-cli: not built yet\n";
    return 2;
}
