// The yardstick for start_memory.py: the least a window program can do, in plain SDL (a
// window of the workspace's size, one renderer as SDL chooses it, one clear and one
// present). It answers ZC_REPORT_FIRST_FRAME as the program does: it writes
// "first-frame-ns" with the steady-clock time once its frame is presented, and then
// closes with the value "exit", else waits to be stopped so its memory can be read.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bare_window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window =
        SDL_CreateWindow("bare_window", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 1024, 768,
                         SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    SDL_Renderer* renderer =
        window == nullptr
            ? nullptr
            : SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (renderer == nullptr) {
        std::fprintf(stderr, "bare_window: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_ShowWindow(window);
    SDL_SetRenderDrawColor(renderer, 255, 255, 255, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);
    SDL_PumpEvents();
    const char* mode = std::getenv("ZC_REPORT_FIRST_FRAME");
    if (mode != nullptr && *mode != '\0') {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        std::printf("first-frame-ns %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        std::fflush(stdout);
    }
    bool running = mode == nullptr || std::strcmp(mode, "exit") != 0;
    while (running) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 100) && event.type == SDL_QUIT) {
            running = false;
        }
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
