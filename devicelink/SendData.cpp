#include "devicelink/SendData.h"

SendData* SendData::create(const std::string& text, int waitMs) {
    auto* chunk = new SendData();
    if (!chunk->init()) {
        delete chunk;
        return nullptr;
    }
    chunk->autorelease();
    chunk->text = text;
    chunk->waitMs = waitMs;
    return chunk;
}

SendData::~SendData() = default;

bool SendData::init() {
    text.clear();
    waitMs = 0;
    return true;
}
