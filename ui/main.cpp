#include <cstdio>

int main()
{
    std::puts("Orrery: the editor window is not built yet.");
    return 0;
}
