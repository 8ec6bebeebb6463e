#include "ChunkQueue.h"

cocos2d::Vector<SendData*> makeQueue(const std::vector<Chunk>& chunks) {
    cocos2d::Vector<SendData*> queue;
    for (const Chunk& c : chunks) {
        auto* chunk = new SendData();
        chunk->init();
        chunk->text = c.text;
        chunk->waitMs = c.waitMs;
        queue.pushBack(chunk);
        chunk->release();
    }
    return queue;
}

std::string joined(const std::vector<Chunk>& chunks) {
    std::string all;
    for (const Chunk& c : chunks)
        all += c.text;
    return all;
}
