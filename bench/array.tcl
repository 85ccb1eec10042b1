# Integer-keyed array elements written, then read back and summed.
proc main {n} {
  set s 0
  for {set i 0} {$i < $n} {incr i} { set a($i) $i }
  for {set i 0} {$i < $n} {incr i} { set s [expr {$s + $a($i)}] }
  puts $s
}
main [lindex $argv 0]
