// SDL's message box on the page: the caption and text go to the console and into a box
// over the canvas with the buttons asked for; the program waits, as behind a modal box,
// until one is pressed (the page answers with the first at once in a test run).
#include <SDL.h>
#include <emscripten.h>

#include <string>

// clang-format off
// Answers the index of the button pressed.
EM_ASYNC_JS(int, browserMessageBox, (const char* caption, const char* text, const char* labels), {
    var shownCaption = UTF8ToString(caption);
    var shownText = UTF8ToString(text);
    console.log(shownCaption + ': ' + shownText);
    var page = window.letterboxPage;
    if (!page) {
        return 0;
    }
    return await page.messageBox(shownCaption, shownText, UTF8ToString(labels).split('\n'));
});
// clang-format on

extern "C" int SDL_ShowMessageBox(const SDL_MessageBoxData* box, int* buttonId) {
    if (box == nullptr || box->numbuttons <= 0) {
        return -1;
    }
    std::string labels;
    for (int i = 0; i < box->numbuttons; ++i) {
        labels += (i > 0 ? "\n" : "") + std::string(box->buttons[i].text);
    }
    int pressed = browserMessageBox(box->title ? box->title : "", box->message ? box->message : "",
                                    labels.c_str());
    if (pressed < 0 || pressed >= box->numbuttons) {
        pressed = 0;
    }
    if (buttonId != nullptr) {
        *buttonId = box->buttons[pressed].buttonid;
    }
    return 0;
}
