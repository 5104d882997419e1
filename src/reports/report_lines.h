// The lines of the Reports list, kept compactly.
//
// A report file of a million short lines must not cost a million separate
// strings: the lines are kept one after another in one block of text, with
// the offset where each one ends.  A line then costs its characters and one
// offset, however short it is.  Lines are read back as string views, valid
// until the next change of the object.
#pragma once

#include <compare>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace reports {

class Report_lines {
public:
    Report_lines() = default;
    // From separate strings (tests, the command-line program, small lists).
    Report_lines(const std::vector<std::string>& lines);  // NOLINT: implicit on purpose
    Report_lines(std::initializer_list<std::string_view> lines);

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::string_view operator[](std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(text_).substr(begin, ends_[i] - begin);
    }
    std::string_view front() const { return (*this)[0]; }
    std::string_view back() const { return (*this)[size() - 1]; }
    // The characters of every line together.
    std::size_t text_size() const { return text_.size(); }

    void push_back(std::string_view line) {
        text_ += line;
        ends_.push_back(text_.size());
    }
    // Empties the list and gives its memory back.
    void clear();

    // A random-access iterator over the lines as string views.
    class const_iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        const_iterator(const Report_lines* lines, std::size_t index) : lines_(lines), index_(index) {}
        std::string_view operator*() const { return (*lines_)[index_]; }
        std::string_view operator[](difference_type n) const { return *(*this + n); }
        const_iterator& operator++() { return *this += 1; }
        const_iterator operator++(int) { auto old = *this; ++*this; return old; }
        const_iterator& operator--() { return *this -= 1; }
        const_iterator operator--(int) { auto old = *this; --*this; return old; }
        const_iterator& operator+=(difference_type n) { index_ = static_cast<std::size_t>(static_cast<difference_type>(index_) + n); return *this; }
        const_iterator& operator-=(difference_type n) { return *this += -n; }
        friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
        friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
        friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
            return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.index_ == b.index_; }
        friend auto operator<=>(const const_iterator& a, const const_iterator& b) { return a.index_ <=> b.index_; }

    private:
        const Report_lines* lines_ = nullptr;
        std::size_t index_ = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    friend bool operator==(const Report_lines& a, const Report_lines& b) {
        return a.ends_ == b.ends_ && a.text_ == b.text_;
    }
    friend bool operator==(const Report_lines& a, const std::vector<std::string>& b);

    // A copy as separate strings, for callers made for small lists
    // (printing, the command-line program's output).
    operator std::vector<std::string>() const { return std::vector<std::string>(begin(), end()); }

private:
    std::string text_;
    std::vector<std::size_t> ends_;
};

}  // namespace reports
