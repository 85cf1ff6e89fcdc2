// Stands in for xdg-open in the search benchmark: takes the address and ends. With
// QUELM_BENCH_STANDIN_MS set it stays that long first, like a browser that takes its time.
#include <cstdlib>
#include <ctime>

int main()
{
    if (const char* ms = std::getenv("QUELM_BENCH_STANDIN_MS")) {
        const long value = std::atol(ms);
        timespec ts{value / 1000, (value % 1000) * 1000000};
        nanosleep(&ts, nullptr);
    }
    return 0;
}
