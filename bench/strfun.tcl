# The string commands in a loop.
proc main {n} {
  set s "The quick brown fox jumps over the lazy dog"
  set c 0
  for {set i 1} {$i <= $n} {incr i} {
    set t [string toupper [string range $s 4 14]]
    set t [string map {O 0} $t]
    set c [expr {$c + [string first "lazy" $s] + [string length $t]}]
  }
  puts $c
}
main [lindex $argv 0]
