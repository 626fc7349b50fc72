# Keeps each example command of the tool's help on a line of its own in the
# man page, which would otherwise run them together as one paragraph.
/^\.SH EXAMPLES/,/^\.SH "SEE ALSO"/ {
    /^dropcalc\\-cli /i\
.br
}
