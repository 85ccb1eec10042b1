# A recursive proc.
proc fib {x} {
  if {$x < 2} { return $x }
  return [expr {[fib [expr {$x - 1}]] + [fib [expr {$x - 2}]]}]
}
puts [fib [lindex $argv 0]]
