// Engine-wide assertion and helper macros.
// Depends on nothing but the standard library.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>

#define NS_CC_BEGIN namespace cocos2d {
#define NS_CC_END }
#define USING_NS_CC using namespace cocos2d

// Programmer mistakes stop a debug build with a message; release builds keep running.
#ifndef NDEBUG
#define CCASSERT(cond, msg)                                                                       \
    do {                                                                                          \
        if (!(cond)) {                                                                            \
            std::fprintf(stderr, "Assertion failed: %s (%s:%d): %s\n", #cond, __FILE__, __LINE__, \
                         msg);                                                                    \
            std::abort();                                                                         \
        }                                                                                         \
    } while (0)
#else
// The condition is not evaluated, but what it names still counts as used.
#define CCASSERT(cond, msg) \
    do {                    \
        if (false) {        \
            (void)(cond);   \
            (void)(msg);    \
        }                   \
    } while (0)
#endif

#define CC_SAFE_RELEASE(p)  \
    do {                    \
        if (p)              \
            (p)->release(); \
    } while (0)
#define CC_SAFE_RELEASE_NULL(p) \
    do {                        \
        if (p) {                \
            (p)->release();     \
            (p) = nullptr;      \
        }                       \
    } while (0)
#define CC_SAFE_RETAIN(p)  \
    do {                   \
        if (p)             \
            (p)->retain(); \
    } while (0)

// Two-phase creation: construct, init, hand back autoreleased (or nothing when init fails).
#define CREATE_FUNC(__TYPE__)            \
    static __TYPE__* create() {          \
        __TYPE__* pRet = new __TYPE__(); \
        if (pRet->init()) {              \
            pRet->autorelease();         \
            return pRet;                 \
        }                                \
        delete pRet;                     \
        return nullptr;                  \
    }

#define CC_SAFE_DELETE(p) \
    do {                  \
        delete (p);       \
        (p) = nullptr;    \
    } while (0)
// Leaves the enclosing do { ... } while (0) block of an init function.
#define CC_BREAK_IF(cond) \
    if (cond)             \
    break
#define CC_UNUSED_PARAM(unusedparam) (void)(unusedparam)

// Member functions bound to an object, for listeners and call-function actions.
#define CC_CALLBACK_0(selector, target) std::bind(&selector, target)
#define CC_CALLBACK_1(selector, target) std::bind(&selector, target, std::placeholders::_1)
#define CC_CALLBACK_2(selector, target) \
    std::bind(&selector, target, std::placeholders::_1, std::placeholders::_2)
#define CC_CALLBACK_3(selector, target)                                        \
    std::bind(&selector, target, std::placeholders::_1, std::placeholders::_2, \
              std::placeholders::_3)
