#pragma once
// The parsed form of a prepared script, shared by the interpreter and the
// examination of idle stretches. Internal to the simulation layer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace v7300::script {

enum class Kind : std::uint8_t { Nop, Loop, Exec, Smtp, Play, Lcd, Else, If, Assign };
enum class AssignOp : std::uint8_t { Set, Not, Add, Sub, Mul, Div };
enum class CompareOp : std::uint8_t { Eq, Ne, Le, Ge, Lt, Gt, In, Never };

struct Operand {
    int symbol = -1; // a store variable, or -1 for a literal
    double literal = 0;
};

struct Statement {
    Kind kind = Kind::Nop;
    AssignOp assign = AssignOp::Set;
    CompareOp compare = CompareOp::Never;
    int target = -1;     // assignment target symbol; LCD: the shown variable
    Operand a, b;        // assignment operand in a; condition operands a and b
    std::size_t jump = 0; // false IF / ELSE: where the pass goes on
    std::vector<std::string> tokens;
    std::string line;
};

} // namespace v7300::script
