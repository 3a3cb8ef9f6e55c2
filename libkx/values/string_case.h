#pragma once
// UCASE$ and LCASE$. Only the ASCII letters change case; strings are bytes
// with no encoding.
struct kxs;

// An empty argument is returned itself; a reusable temporary is rewritten
// in place; otherwise the result is a new temporary.
kxs* kxs_ucase(kxs* s);
kxs* kxs_lcase(kxs* s);
