#include "python/lcd_texts.h"

#include "host/picture_scale.h"
#include "python/language_values.h"
#include "scenario/lcd_text.h"

namespace py = pybind11;

const char* const TEXT_FIELDS[] = {"text", "x", "y", "start_x", "end_x", "size", "align", "colour", "role", nullptr};

py::list lcd_texts(instrument& inst, const py::handle& text_type)
{
    inst.check_open();
    py::list texts;
    for (const drawn_text* t : texts_in_reading_order(inst.session().texts())) {
        if (t->text[0] == '\0')
            continue;
        texts.append(text_type(py::bytes(t->text).attr("decode")("cp1252", "replace"), t->x, t->y, t->start_x,
                               t->end_x, t->size, alignment_name(t->align), t->colour, colour_role(t->colour)));
    }
    return texts;
}

std::string lcd_text(instrument& inst)
{
    inst.check_open();
    std::string words;
    for (const drawn_text* t : texts_in_reading_order(inst.session().texts())) {
        const std::string_view word = trimmed_text(t->text);
        if (!word.empty())
            words += (words.empty() ? "" : " ") + std::string(word);
    }
    return words;
}

lcd_gif_recording::lcd_gif_recording(instrument& inst, const std::string& path, const py::handle& scale)
    : path_(path)
{
    inst.check_open();
    const int s = int(number_or_refused("gif LCD.gif", scale, GIF_SCALE_MIN, GIF_SCALE_MAX));
    gif_ = std::make_unique<session_gif>(inst.session(), path.c_str(), s);
    if (gif_->is_open())
        return;
    const std::string why = gif_->why();
    gif_.reset();
    PyErr_SetString(PyExc_OSError, ("gif: cannot write \"" + path + "\": " + why).c_str());
    throw py::error_already_set();
}

lcd_gif_recording::~lcd_gif_recording()
{
    std::string why;
    if (gif_ != nullptr)
        gif_->finish(why);
}

void lcd_gif_recording::close()
{
    if (gif_ == nullptr)
        return;
    std::string why;
    const bool written = gif_->finish(why);
    frames_ = gif_->frames();
    gif_.reset();
    if (!written) {
        PyErr_SetString(PyExc_OSError, ("gif: cannot write \"" + path_ + "\": " + why).c_str());
        throw py::error_already_set();
    }
}
