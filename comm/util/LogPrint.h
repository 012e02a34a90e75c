// The trace line of the library and the program.
#pragma once

// Writes "<local time>  <text>\n" to the debugger output; the text is printf-style.
void __log_print__(const char* format, ...) __attribute__((format(printf, 1, 2)));
