// What a FieldScrollView tells its owner: the content moved, or its zoom changed.
// Depends on nothing; both notifications do nothing unless overridden.
#pragma once

class FieldScrollView;

class FieldScrollViewDelegate {
public:
    virtual ~FieldScrollViewDelegate() = default;
    // The content offset changed (drag, coast, glide, setOffset, zoom).
    virtual void onScrolled(FieldScrollView* view) { (void)view; }
    // The content scale changed.
    virtual void onZoomed(FieldScrollView* view) { (void)view; }
};
