#pragma once
// Picture output of a plot window: save as BMP, copy, print, full-screen view.
class FamilyWindow;

class OutputTools {
public:
    explicit OutputTools(FamilyWindow& window);

private:
    FamilyWindow& w_;
};
