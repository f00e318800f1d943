// The operator table of the evaluator.
#include "expr/ExprInternal.h"

// The operator table in precedence order: the first row binds loosest.
const ExprOperator g_ExprOperators[] = {
    {"e?e:e", ExprOpTernary},   {"e rndto e", ExprOpRndTo},
    {"e rndup e", ExprOpRndUp}, {"e rnddn e", ExprOpRndDn},
    {"e xor e", ExprOpXor},     {"e or e", ExprOpOr},
    {"e and e", ExprOpAnd},     {"not e", ExprOpNot},
    {"e||e", ExprOpOr},         {"e&&e", ExprOpAnd},
    {"e^e", ExprOpBitXor},      {"e|e", ExprOpBitOr},
    {"e&e", ExprOpBitAnd},      {"e!=e", ExprOpNe},
    {"e==e", ExprOpEq},         {"e>{=>}e", ExprOpGt},
    {"e<{=<}e", ExprOpLt},      {"e>=e", ExprOpGe},
    {"e<=e", ExprOpLe},         {"e>>{>}e", ExprOpShr},
    {"e<<{<}e", ExprOpShl},     {"e>>>e", ExprOpRor},
    {"e<<<e", ExprOpRol},       {"e+e", ExprOpAdd},
    {"e-e", ExprOpSub},         {"e%{%}e", ExprOpMod},
    {"e/e", ExprOpDiv},         {"e*{*}e", ExprOpMul},
    {"~e", ExprOpBitNot},       {"!e", ExprOpNot},
    {"r2y e", ExprOpR2Y},       {"y2r e", ExprOpY2R},
    {"e**e", ExprOpPow},        {"", nullptr},
};
