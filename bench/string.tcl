# Building a string piece by piece.
proc main {n} {
  set text ""
  for {set j 1} {$j <= $n} {incr j} { append text "x" }
  puts [string length $text]
}
main [lindex $argv 0]
