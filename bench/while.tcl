# WHILE loop with an IF in its body.
proc main {n} {
  set k 0; set even 0; set odd 0
  while {$k < $n} {
    if {$k % 2 == 0} { incr even } else { incr odd }
    incr k
  }
  puts "$even $odd"
}
main [lindex $argv 0]
