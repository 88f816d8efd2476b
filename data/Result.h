#pragma once
// What fallible work hands back: its value, or an Error that names the file,
// the line when there is one, and the reason. The caller decides what the
// user sees; message() is the text the program shows for it.

#include <QString>
#include <cassert>
#include <cstdint>
#include <optional>
#include <utility>
#include <variant>

struct Error {
    // What was being done, which gives the message its opening words.
    enum class Doing {
        Opening,            // Cannot open file "F". R
        Reading,            // Read error in "F". R
        Counting,           // The file "F" R (the reason says what it has too many of)
        Creating,           // Cannot create file F. R
        OpeningStudy,       // Cannot open study F. R
        OpeningStudyPrices, // Cannot open the price file of study F. R
        SavingStudy,        // Cannot save study F. R
        Printing,           // R: the printer's words, no file to name
        Plain,              // R as it stands, a text that names its files itself
        // Whoever met it said so already, or there was nothing to say (a
        // plot replayed inside other work): R is for logs, shown nowhere.
        Told,
    };
    Doing doing = Doing::Reading;
    QString file;
    int64_t line = 0; // 0: the file as a whole
    QString reason;   // whole sentences, ending in their stop

    [[nodiscard]] QString message() const;
};

template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::in_place_index<0>, std::move(value)) {} // NOLINT: a value succeeds
    Result(Error e) : v_(std::in_place_index<1>, std::move(e)) {}     // NOLINT: an error fails

    [[nodiscard]] bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    [[nodiscard]] T& value()
    {
        assert(ok());
        return std::get<0>(v_);
    }
    [[nodiscard]] const T& value() const
    {
        assert(ok());
        return std::get<0>(v_);
    }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    [[nodiscard]] const Error& error() const
    {
        assert(!ok());
        return std::get<1>(v_);
    }

private:
    std::variant<T, Error> v_;
};

// Work that gives nothing back but may fail.
template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error e) : e_(std::move(e)) {} // NOLINT: an error fails

    [[nodiscard]] bool ok() const { return !e_; }
    explicit operator bool() const { return ok(); }
    [[nodiscard]] const Error& error() const
    {
        assert(!ok());
        return *e_;
    }

private:
    std::optional<Error> e_;
};
