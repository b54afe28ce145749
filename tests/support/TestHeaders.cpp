// Holds no code: its target compiles the headers every test program shares once, and the
// test programs take them from it.
