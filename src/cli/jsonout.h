#pragma once

#include <string>

namespace vela::cli {

// One flat JSON object, built member by member in the order added.
class JsonOut {
  public:
    void Add(const std::string& key, const std::string& text);
    // `number` must be a JSON number as text; anything else is written as a string.
    void AddNumber(const std::string& key, const std::string& number);
    std::string Object() const { return "{" + m_members + "}"; }

    static std::string Quote(const std::string& text);

  private:
    std::string m_members;
};

}  // namespace vela::cli
