#include "simulator/BoardPanel.h"

#include <cmath>

#include "lang/Translate.h"
#include "simulator/SimulatorLook.h"

USING_NS_CC;

namespace {

const Color4B kLedLit(255, 64, 64, 255);
const Color4B kLedDark(90, 40, 42, 255);
const Color4B kBeeping(245, 166, 35, 255);
const Color4B kOutputOff(207, 216, 220, 255);
const float kPwmBarWidth = 180.f;

}  // namespace

bool BoardPanel::init() {
    if (!Node::init()) {
        return false;
    }
    // Laid out from the panel's bottom left corner; the panel is 280 x 340.
    look::place(this, look::label("LED", 14, look::kInk), 0, 325);
    _led = look::place(this, look::box(kLedDark, 0, 0, 70, 70), 0, 235);
    look::place(this, look::label(lang::tr("Buzzer"), 14, look::kInk), 90, 325);
    _buzzer = look::place(this, look::box(look::kPale, 0, 0, 70, 70), 90, 235);
    _buzzerText = look::label(lang::tr("BEEP"), 14, look::kMuted);
    _buzzerText->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
    look::place(_buzzer, _buzzerText, 35, 35);
    addButton();
    addOutputs();
    addPwmChannels();
    return true;
}

void BoardPanel::addButton() {
    look::place(this, look::label(lang::tr("Button"), 14, look::kInk), 180, 325);
    _button = look::place(this, look::box(look::kFrame, 0, 0, 100, 70), 180, 235);
    // Ends under the button's right edge, the panel's: a language whose hint is wider than
    // the button runs it out to the left, below the buzzer, not over the car.
    Label* hint = look::label(lang::tr("hold: mouse or space"), 11, look::kMuted);
    hint->setAnchorPoint(Vec2::ANCHOR_MIDDLE_RIGHT);
    look::place(this, hint, 280, 222);

    auto* touch = EventListenerTouchOneByOne::create();
    touch->setSwallowTouches(true);
    touch->onTouchBegan = [this](Touch* t, Event*) {
        if (!_button->getBoundingBox().containsPoint(convertToNodeSpace(t->getLocation()))) {
            return false;
        }
        if (onButton) {
            onButton(true);
        }
        return true;
    };
    // The button is let go wherever the mouse is released.
    auto release = [this](Touch*, Event*) {
        if (onButton) {
            onButton(false);
        }
    };
    touch->onTouchEnded = release;
    touch->onTouchCancelled = release;
    getEventDispatcher()->addEventListenerWithSceneGraphPriority(touch, _button);
}

void BoardPanel::addOutputs() {
    look::place(this, look::label(lang::tr("Outputs"), 14, look::kInk), 0, 190);
    for (int i = 0; i < 6; ++i) {
        _outputs[i] = look::place(this, look::box(kOutputOff, 0, 0, 36, 36), i * 46.f, 140);
        Label* number = look::label(std::to_string(i + 1), 14, look::kInk);
        number->setAnchorPoint(Vec2::ANCHOR_MIDDLE);
        look::place(_outputs[i], number, 18, 18);
    }
}

void BoardPanel::addPwmChannels() {
    for (int i = 0; i < 2; ++i) {
        const float y = 100.f - 35.f * i;
        look::place(this,
                    look::label("PWM " + std::to_string(BoardIo::kPwmChannels[i]), 14, look::kInk),
                    0, y + 8);
        look::place(this, look::box(look::kPale, 0, 0, kPwmBarWidth, 16), 60, y);
        _pwmBars[i] = look::place(this, look::box(look::kFrameDark, 0, 0, kPwmBarWidth, 16), 60, y);
        _pwmValues[i] =
            look::place(this, look::label(lang::tr("full"), 12, look::kMuted), 248, y + 8);
    }
}

void BoardPanel::paint(LayerColor* layer, const Color4B& colour) {
    const Color3B rgb(colour.r, colour.g, colour.b);
    if (layer->getColor() != rgb) {
        layer->setColor(rgb);
    }
}

void BoardPanel::show(const BoardIo& io, std::int64_t nowMs) {
    paint(_led, io.led ? kLedLit : kLedDark);
    const bool beeping = io.beeping(nowMs);
    paint(_buzzer, beeping ? kBeeping : look::kPale);
    _buzzerText->setTextColor(look::opaque(beeping ? Color3B::WHITE : look::kMuted));
    for (int n = 1; n <= 6; ++n) {
        paint(_outputs[n - 1], io.output(n) ? look::opaque(look::kGreen) : kOutputOff);
    }
    for (int i = 0; i < 2; ++i) {
        const float width = std::round(kPwmBarWidth * static_cast<float>(io.duty(i)));
        if (_pwmBars[i]->getContentSize().width != width) {
            _pwmBars[i]->changeWidth(width);
        }
        _pwmValues[i]->setString(io.pwmSet[i] ? std::to_string(io.pwm[i]) : lang::tr("full"));
    }
    showButton(io.button);
}

void BoardPanel::showButton(bool held) {
    paint(_button, held ? look::kFrameDark : look::kFrame);
}
